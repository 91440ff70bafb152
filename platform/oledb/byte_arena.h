#pragma once
// A growable byte buffer for results held in memory: callers reserve room, write in place and
// commit what they wrote, so a value is copied once. Grows by doubling through realloc (large
// blocks move without copying on most systems); Shrink gives back the unused tail.
// Owns its bytes; not copyable. Pointers into it stay valid until the next Reserve or Shrink.

#include <cstddef>
#include <cstdlib>
#include <new>

namespace oledb_backend {

class ByteArena {
public:
    ByteArena() = default;
    ByteArena(const ByteArena&) = delete;
    ByteArena& operator=(const ByteArena&) = delete;
    ~ByteArena() { std::free(data_); }

    // Room for n more bytes after the committed ones. Throws std::bad_alloc.
    char* Reserve(std::size_t n) {
        if (n > capacity_ - size_) Resize(Grown(size_ + n));
        return data_ + size_;
    }
    void Commit(std::size_t n) { size_ += n; }
    void Shrink() {
        if (size_ != capacity_ && size_ != 0) Resize(size_);
    }

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }

private:
    std::size_t Grown(std::size_t needed) const {
        std::size_t capacity = capacity_ < 4096 ? 4096 : capacity_;
        while (capacity < needed) capacity *= 2;
        return capacity;
    }
    void Resize(std::size_t capacity) {
        void* grown = std::realloc(data_, capacity);
        if (!grown) throw std::bad_alloc();
        data_ = static_cast<char*>(grown);
        capacity_ = capacity;
    }

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace oledb_backend
