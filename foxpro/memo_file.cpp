#include "foxpro/memo_file.h"

#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

constexpr std::size_t kMemoHeaderSize = 512;
constexpr char kDbtEnd = 0x1A;  // dBase III ends a memo with one or two of these

std::uint32_t Be32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

}  // namespace

MemoFile::MemoFile(std::unique_ptr<ByteSource> source, MemoKind kind) : source_(std::move(source)), kind_(kind) {
    const ErrorPlace place{source_->Name()};
    const std::string head = source_->ReadAt(0, kMemoHeaderSize);
    if (head.size() < kMemoHeaderSize)
        throw FoxProError(place, Fill(_("truncated memo header: %s bytes, it needs 512"), {std::to_string(head.size())}));
    if (kind_ == MemoKind::Fpt) {
        block_size_ = static_cast<std::uint32_t>(static_cast<unsigned char>(head[6])) << 8 |
                      static_cast<unsigned char>(head[7]);
    } else if (kind_ == MemoKind::Dbt4) {
        block_size_ = static_cast<std::uint32_t>(static_cast<unsigned char>(head[20])) |
                      static_cast<std::uint32_t>(static_cast<unsigned char>(head[21])) << 8;
        if (block_size_ == 0) block_size_ = 512;  // dBase IV before 2.0 left it out
    }
    if (block_size_ == 0) throw FoxProError(place, _("memo block size is 0"));
}

std::string MemoFile::Read(std::uint32_t block, const ErrorPlace& place) {
    if (block == 0) return {};
    const std::uint64_t at = static_cast<std::uint64_t>(block) * block_size_;
    if (at < kMemoHeaderSize)
        throw FoxProError(place, Fill(_("memo pointer %s points into the header of %s"),
                                      {std::to_string(block), source_->Name()}));
    if (at >= source_->Size())
        throw FoxProError(place, Fill(_("memo pointer %s is past the end of %s (%s bytes, blocks of %s)"),
                                      {std::to_string(block), source_->Name(), std::to_string(source_->Size()),
                                       std::to_string(block_size_)}));
    return kind_ == MemoKind::Fpt ? ReadFpt(at, block, place) : ReadDbt(at, place);
}

std::string MemoFile::ReadFpt(std::uint64_t at, std::uint32_t block, const ErrorPlace& place) {
    const std::string head = source_->ReadAt(at, 8);
    if (head.size() < 8)
        throw FoxProError(place, Fill(_("memo block %s is cut off by the end of %s"),
                                      {std::to_string(block), source_->Name()}));
    const std::uint32_t length = Be32(head, 4);
    if (length > source_->Size() - at - 8)
        throw FoxProError(place, Fill(_("memo block %s declares %s bytes, past the end of %s"),
                                      {std::to_string(block), std::to_string(length), source_->Name()}));
    return source_->ReadAt(at + 8, length);
}

std::string MemoFile::ReadDbt(std::uint64_t at, const ErrorPlace& place) {
    // dBase IV marks its blocks FF FF 08 00 with the length (header included) after it.
    const std::string head = source_->ReadAt(at, 8);
    if (kind_ == MemoKind::Dbt4 && head.size() == 8 && head.compare(0, 4, "\xFF\xFF\x08\x00", 4) == 0) {
        const std::uint32_t length = Le32(head, 4);
        if (length < 8 || length - 8 > source_->Size() - at - 8)
            throw FoxProError(place, Fill(_("memo at byte %s declares %s bytes, past the end of %s"),
                                          {std::to_string(at), std::to_string(length), source_->Name()}));
        return source_->ReadAt(at + 8, length - 8);
    }
    // dBase III: the text runs to its end mark (or the file's end), read a block at a time.
    std::string text;
    for (std::uint64_t from = at; from < source_->Size(); from += block_size_) {
        const std::string chunk = source_->ReadAt(from, block_size_);
        const std::size_t end = chunk.find(kDbtEnd);
        if (end != std::string::npos) return text.append(chunk, 0, end);
        text += chunk;
    }
    return text;
}

}  // namespace rowlark::foxpro
