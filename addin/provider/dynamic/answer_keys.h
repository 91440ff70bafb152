#pragma once
// The keys of one QueryRows answer, flat: every key and index text in one arena, each distinct key
// once at its first place (a repeated key keeps its first place and index text), found by an
// open-addressing table of places. Kept by the row window from load to load, so a window reuses
// the room of the last one instead of allocating per key. Texts given out are valid until the next
// Add or Clear.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace OleDb {
namespace GridProvider {

class CAnswerKeys {
public:
    // Forgets every key, keeping the room.
    void Clear();
    // Takes one answer row: counted always, its key placed unless an earlier row carried it.
    void Add(std::string_view key_text, std::string_view index_text);

    std::uint32_t Rows() const { return rows_; }  // answer rows taken, repeated keys too
    std::uint32_t Count() const { return static_cast<std::uint32_t>(places_.size()); }  // distinct keys
    bool IsEmpty() const { return places_.empty(); }
    std::string_view KeyText(std::uint32_t place) const;    // Requires: place < Count()
    std::string_view IndexText(std::uint32_t place) const;  // Requires: place < Count()
    // The place of the key written exactly so, byte by byte; none when no row carried it.
    std::optional<std::uint32_t> Find(std::string_view key_text) const;

private:
    struct Place {
        std::size_t key_at;  // key text in the arena, index text right after it
        std::uint32_t key_size, index_size;
    };
    static constexpr std::uint32_t kFree = 0xFFFFFFFFu;  // an empty slot of the table

    // The slot holding key_text's place, or the free slot where it would go.
    std::size_t SlotOf(std::string_view key_text, std::size_t hash) const;
    void Grow();

    std::string arena_;                // key and index texts of the places, one after another
    std::vector<Place> places_;        // the distinct keys by place
    std::vector<std::uint32_t> slots_; // places by key hash; size a power of two, at most half full
    std::uint32_t rows_ = 0;
};

}  // namespace GridProvider
}  // namespace OleDb
