#include "foxpro/cdx_reader.h"

#include <set>

#include "foxpro/error.h"
#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

constexpr std::size_t kPage = 512;
constexpr std::size_t kHeaderSize = 1024;
constexpr std::size_t kLeafHeader = 24;
constexpr std::size_t kInteriorHeader = 12;

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint32_t Be32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

struct DirectoryEntry {
    std::string name;
    std::uint32_t offset;
};

class DirectoryWalker {
public:
    DirectoryWalker(ByteSource& cdx, std::size_t key_length) : cdx_(cdx), key_length_(key_length) {}

    void Walk(std::uint32_t page, int depth) {
        if (depth > 32) Fail(page, _("the index is deeper than 32 levels"));
        if (page % kPage != 0 || page < kHeaderSize || page + kPage > cdx_.Size())
            Fail(page, _("a node pointer outside the file or off a page boundary"));
        if (!visited_.insert(page).second) Fail(page, _("a node visited twice (a loop in the tree)"));
        const std::string node = cdx_.ReadAt(page, kPage);
        const std::uint16_t attributes = static_cast<std::uint16_t>(Le(node, 0, 2));
        const std::uint16_t count = static_cast<std::uint16_t>(Le(node, 2, 2));
        if ((attributes & 2) != 0) return ReadLeaf(node, page, count);
        const std::size_t entry = key_length_ + 8;
        if (kInteriorHeader + count * entry > kPage) Fail(page, _("more keys than the node holds"));
        for (std::size_t i = 0; i < count; ++i) Walk(Be32(node, kInteriorHeader + i * entry + key_length_ + 4), depth + 1);
    }

    std::vector<DirectoryEntry> entries;

private:
    [[noreturn]] void Fail(std::uint32_t page, const std::string& what) {
        throw FoxProError({cdx_.Name()}, Fill(_("tag directory node at byte %s: %s"), {std::to_string(page), what}));
    }

    void ReadLeaf(const std::string& node, std::uint32_t page, std::uint16_t count) {
        const std::uint32_t record_mask = Le(node, 14, 4);
        const int record_bits = static_cast<unsigned char>(node[20]);
        const int duplicate_bits = static_cast<unsigned char>(node[21]);
        const int trail_bits = static_cast<unsigned char>(node[22]);
        const int entry_bytes = static_cast<unsigned char>(node[23]);
        if (entry_bytes < 1 || entry_bytes > 4 || record_bits + duplicate_bits + trail_bits > entry_bytes * 8 ||
            duplicate_bits > 8 || trail_bits > 8)
            Fail(page, Fill(_("entry layout of %s bytes does not hold its bit counts"), {std::to_string(entry_bytes)}));
        if (kLeafHeader + static_cast<std::size_t>(count) * entry_bytes > kPage) Fail(page, _("more keys than the node holds"));
        std::size_t key_end = kPage;  // keys are packed from the node's end backwards
        std::string previous(key_length_, ' ');
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint64_t bits = Le(node, kLeafHeader + i * entry_bytes, entry_bytes);
            const auto offset = static_cast<std::uint32_t>(bits & record_mask);
            const auto duplicates = static_cast<std::size_t>(bits >> record_bits & ((1u << duplicate_bits) - 1));
            const auto trailing =
                static_cast<std::size_t>(bits >> (record_bits + duplicate_bits) & ((1u << trail_bits) - 1));
            if (duplicates + trailing > key_length_) Fail(page, _("a key longer than the key length"));
            const std::size_t fresh = key_length_ - duplicates - trailing;
            if (fresh > key_end - (kLeafHeader + count * entry_bytes)) Fail(page, _("keys overrun the entries"));
            key_end -= fresh;
            std::string key = previous.substr(0, duplicates) + node.substr(key_end, fresh) + std::string(trailing, ' ');
            previous = key;
            const std::size_t last = key.find_last_not_of(std::string(" \0", 2));
            entries.push_back({last == std::string::npos ? std::string() : key.substr(0, last + 1), offset});
        }
    }

    ByteSource& cdx_;
    std::size_t key_length_;
    std::set<std::uint32_t> visited_;
};

// The NUL-ended text at pool[at...], within the pool.
std::string PoolText(const std::string& pool, std::size_t at) {
    if (at >= pool.size()) return {};
    const std::size_t end = pool.find('\0', at);
    return pool.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

CdxTag ReadTagHeader(ByteSource& cdx, const DirectoryEntry& entry) {
    const std::string header = cdx.ReadAt(entry.offset, kHeaderSize);
    if (header.size() < kHeaderSize)
        throw FoxProError({cdx.Name()}, Fill(_("tag %s: its header at byte %s is past the end of the file"),
                                             {entry.name, std::to_string(entry.offset)}));
    CdxTag tag;
    tag.name = entry.name;
    tag.header_offset = entry.offset;
    tag.key_length = static_cast<std::uint16_t>(Le(header, 12, 2));
    const auto options = static_cast<unsigned char>(header[14]);
    tag.unique = (options & 0x01) != 0;
    tag.candidate = (options & 0x04) != 0;
    tag.descending = Le(header, 502, 2) != 0;
    const std::string pool = header.substr(kPage);
    tag.key_expression = PoolText(pool, 0);
    if ((options & 0x08) != 0) tag.for_expression = PoolText(pool, tag.key_expression.size() + 1);
    return tag;
}

}  // namespace

std::vector<CdxTag> ReadCdxTags(ByteSource& cdx) {
    const std::string header = cdx.ReadAt(0, kHeaderSize);
    if (header.size() < kHeaderSize)
        throw FoxProError({cdx.Name()}, Fill(_("truncated index header: %s bytes, a compound index header needs 1024"),
                                             {std::to_string(header.size())}));
    const std::size_t key_length = Le(header, 12, 2);
    if (key_length == 0 || key_length > 240)
        throw FoxProError({cdx.Name()}, Fill(_("tag directory key length %s (1 to 240)"), {std::to_string(key_length)}));
    DirectoryWalker walker(cdx, key_length);
    walker.Walk(Le(header, 0, 4), 0);
    std::vector<CdxTag> tags;
    for (const DirectoryEntry& entry : walker.entries) tags.push_back(ReadTagHeader(cdx, entry));
    return tags;
}

}  // namespace rowlark::foxpro
