#include "addin/provider/dynamic/answer_keys.h"

#include <algorithm>
#include <functional>

namespace OleDb {
namespace GridProvider {

void CAnswerKeys::Clear() {
    arena_.clear();
    places_.clear();
    std::fill(slots_.begin(), slots_.end(), kFree);
    rows_ = 0;
}

void CAnswerKeys::Add(std::string_view key_text, std::string_view index_text) {
    ++rows_;
    if (2 * (places_.size() + 1) > slots_.size()) Grow();
    const std::size_t slot = SlotOf(key_text, std::hash<std::string_view>()(key_text));
    if (slots_[slot] != kFree) return;  // a repeated key keeps its first place
    slots_[slot] = static_cast<std::uint32_t>(places_.size());
    places_.push_back(Place{arena_.size(), static_cast<std::uint32_t>(key_text.size()),
                            static_cast<std::uint32_t>(index_text.size())});
    arena_.append(key_text).append(index_text);
}

std::string_view CAnswerKeys::KeyText(std::uint32_t place) const {
    const Place& at = places_[place];
    return std::string_view(arena_).substr(at.key_at, at.key_size);
}

std::string_view CAnswerKeys::IndexText(std::uint32_t place) const {
    const Place& at = places_[place];
    return std::string_view(arena_).substr(at.key_at + at.key_size, at.index_size);
}

std::optional<std::uint32_t> CAnswerKeys::Find(std::string_view key_text) const {
    if (slots_.empty()) return std::nullopt;
    const std::uint32_t place = slots_[SlotOf(key_text, std::hash<std::string_view>()(key_text))];
    if (place == kFree) return std::nullopt;
    return place;
}

std::size_t CAnswerKeys::SlotOf(std::string_view key_text, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t place = slots_[slot];
        if (place == kFree || KeyText(place) == key_text) return slot;
    }
}

void CAnswerKeys::Grow() {
    constexpr std::size_t kFirstSlots = 128;  // a window of 50 keys fits without growing
    slots_.assign(slots_.empty() ? kFirstSlots : 2 * slots_.size(), kFree);
    for (std::uint32_t place = 0; place < places_.size(); ++place)
        slots_[SlotOf(KeyText(place), std::hash<std::string_view>()(KeyText(place)))] = place;
}

}  // namespace GridProvider
}  // namespace OleDb
