#pragma once
// Random access to the bytes of one file (a table, a memo file, an index) without loading it:
// the reader asks for the few bytes it needs at a time. A file on disk, or bytes in memory
// (tests, the fuzz target). Sources are owned by whoever opened them and are not copyable.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rowlark::foxpro {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The name errors give for this file (its path, or a name given to bytes in memory).
    virtual const std::string& Name() const = 0;
    virtual std::uint64_t Size() const = 0;
    // Up to size bytes from offset; fewer (or none) past the end. Throws FoxProError on a read fault.
    virtual std::string ReadAt(std::uint64_t offset, std::size_t size) = 0;
};

// Opens a file for reading; throws FoxProError naming it when it cannot be opened.
std::unique_ptr<ByteSource> OpenFileSource(const std::string& path);
// Bytes the caller keeps alive for the source's whole life, under a name for errors.
std::unique_ptr<ByteSource> MemorySource(std::string name, std::string_view bytes);

}  // namespace rowlark::foxpro
