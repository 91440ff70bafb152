#pragma once
// Reads a fuzzer's input as a stream of small decisions. Every read succeeds: once the bytes run
// out, numbers read as 0 and texts as empty, so every input, however short, is a valid case.
// Borrows the input; valid while it lives.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace rowlark_fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool Flag() { return (Byte() & 1) != 0; }
    // A number from 0 to max (inclusive), from as few bytes as max needs.
    std::uint32_t Below(std::uint32_t max) {
        std::uint64_t value = 0;
        for (std::uint64_t span = max; span != 0; span >>= 8) value = (value << 8) | Byte();
        return static_cast<std::uint32_t>(value % (static_cast<std::uint64_t>(max) + 1));
    }
    std::int32_t Int32() { return static_cast<std::int32_t>(Raw<std::uint32_t>()); }
    std::int64_t Int64() { return static_cast<std::int64_t>(Raw<std::uint64_t>()); }
    double Double() { return Raw<double>(); }
    // A text of up to max_length bytes, any bytes: a length, then that many bytes (fewer at the end).
    std::string Text(std::size_t max_length) {
        const std::size_t want = Below(static_cast<std::uint32_t>(max_length));
        const std::size_t take = want < size_ - Consumed() ? want : size_ - Consumed();
        std::string text(reinterpret_cast<const char*>(data_ + Consumed()), take);
        at_ += take;
        return text;
    }
    // Everything not read yet.
    std::string_view Rest() {
        const std::string_view rest(reinterpret_cast<const char*>(data_ + Consumed()), size_ - Consumed());
        at_ = size_;
        return rest;
    }

private:
    std::size_t Consumed() const { return at_ < size_ ? at_ : size_; }
    // The next sizeof(T) bytes as a T; missing bytes read as zero.
    template <class T>
    T Raw() {
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char& b : bytes) b = Byte();
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace rowlark_fuzz
