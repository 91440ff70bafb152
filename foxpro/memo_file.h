#pragma once
// A table's memo file (.fpt, .dbt, .dct), read one memo at a time as a record asks for it.
// The header (block size) is read once; a memo's bytes are read only when requested.

#include <cstdint>
#include <memory>
#include <string>

#include "foxpro/byte_source.h"
#include "foxpro/error.h"
#include "foxpro/table_header.h"

namespace rowlark::foxpro {

class MemoFile {
public:
    // Reads the header of a memo file of that kind. Throws FoxProError for a truncated header
    // or a block size of 0.
    MemoFile(std::unique_ptr<ByteSource> source, MemoKind kind);

    // The bytes of the memo that starts at block (block 0: no memo, an empty text). Throws
    // FoxProError at place when the block lies in the header or past the file's end, or its
    // declared length runs past the end.
    std::string Read(std::uint32_t block, const ErrorPlace& place);

    std::uint32_t BlockSize() const { return block_size_; }
    const std::string& Name() const { return source_->Name(); }

private:
    std::string ReadFpt(std::uint64_t at, std::uint32_t block, const ErrorPlace& place);
    std::string ReadDbt(std::uint64_t at, const ErrorPlace& place);

    std::unique_ptr<ByteSource> source_;
    MemoKind kind_;
    std::uint32_t block_size_ = 512;
};

}  // namespace rowlark::foxpro
