#include "platform/oledb/direct_result.h"

#include <cstring>

#include "platform/oledb/host_column_names.h"
#include "platform/oledb/host_number.h"
#include "platform/oledb/text_out.h"
#include "platform/runtime/numeric.h"

namespace oledb_backend {

namespace {

// Kind bytes of the arena. Integers carry their byte count: kInt1 + k holds 2^k bytes.
// A decimal is kept as its ASCII digits, laid out as a text.
enum Kind : unsigned char {
    kNull = 0, kReal = 1, kText = 2, kInt1 = 3, kInt2 = 4, kInt4 = 5, kInt8 = 6, kDecimal = 7
};

constexpr std::size_t kMaxLengthBytes = 10;  // a 64-bit length in 7-bit groups

std::size_t LengthBytes(std::size_t n) {
    std::size_t bytes = 1;
    while (n >= 0x80) { n >>= 7; ++bytes; }
    return bytes;
}

void PutLength(char* at, std::size_t n) {
    while (n >= 0x80) {
        *at++ = static_cast<char>(0x80 | (n & 0x7F));
        n >>= 7;
    }
    *at = static_cast<char>(n);
}

std::size_t GetLength(const char* p, std::size_t& at) {
    std::size_t n = 0;
    for (int shift = 0;; shift += 7) {
        const auto b = static_cast<unsigned char>(p[at++]);
        n |= static_cast<std::size_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) return n;
    }
}

// Bytes a value occupies from its kind byte on.
std::size_t ValueSize(const char* p, std::size_t at) {
    const auto kind = static_cast<unsigned char>(p[at]);
    switch (kind) {
        case kNull: return 1;
        case kReal: return 9;
        case kText:
        case kDecimal: {
            std::size_t after = at + 1;
            const std::size_t n = GetLength(p, after);
            return after - at + n;
        }
        default: return 1 + (std::size_t{1} << (kind - kInt1));
    }
}

}  // namespace

// Appends rows to the arena, each value written in place.
class DirectResult::Builder final : public RowSink {
public:
    explicit Builder(DirectResult& result) : r_(result) {}

    void BeginRow() override { r_.row_offsets_.push_back(r_.arena_.size()); }
    void Null() override {
        *r_.arena_.Reserve(1) = static_cast<char>(kNull);
        r_.arena_.Commit(1);
    }
    void Integer(std::int64_t v) override {
        char* p = r_.arena_.Reserve(9);
        std::size_t size = 8;
        unsigned char kind = kInt8;
        if (v >= INT8_MIN && v <= INT8_MAX) { kind = kInt1; size = 1; }
        else if (v >= INT16_MIN && v <= INT16_MAX) { kind = kInt2; size = 2; }
        else if (v >= INT32_MIN && v <= INT32_MAX) { kind = kInt4; size = 4; }
        p[0] = static_cast<char>(kind);
        if (size == 1) { const auto x = static_cast<std::int8_t>(v); std::memcpy(p + 1, &x, 1); }
        else if (size == 2) { const auto x = static_cast<std::int16_t>(v); std::memcpy(p + 1, &x, 2); }
        else if (size == 4) { const auto x = static_cast<std::int32_t>(v); std::memcpy(p + 1, &x, 4); }
        else std::memcpy(p + 1, &v, 8);
        r_.arena_.Commit(1 + size);
    }
    void Real(double v) override {
        char* p = r_.arena_.Reserve(9);
        p[0] = static_cast<char>(kReal);
        std::memcpy(p + 1, &v, 8);
        r_.arena_.Commit(9);
    }
    // Converts straight into the arena behind room for the UTF-8 length; the CP1251 text is
    // never longer, and when its length needs fewer bytes the text moves up to close the gap.
    void Text(const char* utf8, std::size_t size) override {
        char* p = r_.arena_.Reserve(1 + kMaxLengthBytes + size);
        p[0] = static_cast<char>(kText);
        const std::size_t room = LengthBytes(size);
        bool exact = true;
        const std::size_t n = ToCp1251(std::string_view(utf8, size), p + 1 + room, exact);
        const std::size_t used = LengthBytes(n);
        if (used < room) std::memmove(p + 1 + used, p + 1 + room, n);
        PutLength(p + 1, n);
        r_.arena_.Commit(1 + used + n);
        if (!exact) replaced_ = true;
    }
    void Decimal(const std::string& digits) override {
        char* p = r_.arena_.Reserve(1 + kMaxLengthBytes + digits.size());
        p[0] = static_cast<char>(kDecimal);
        const std::size_t used = LengthBytes(digits.size());
        PutLength(p + 1, digits.size());
        std::memcpy(p + 1 + used, digits.data(), digits.size());
        r_.arena_.Commit(1 + used + digits.size());
    }
    void Finish() {
        r_.arena_.Shrink();
        r_.row_offsets_.shrink_to_fit();
    }
    bool replaced() const { return replaced_; }

private:
    DirectResult& r_;
    bool replaced_ = false;
};

std::shared_ptr<DirectResult> DirectResult::ReadAll(RowCursor& cursor, bool& text_replaced) {
    std::shared_ptr<DirectResult> result(new DirectResult());
    Builder builder(*result);
    const int columns = cursor.ColumnCount();
    result->column_names_ = HostColumnNames(cursor, text_replaced);
    cursor.DrainInto(builder);
    builder.Finish();
    if (builder.replaced()) text_replaced = true;
    result->value_offsets_.resize(static_cast<std::size_t>(columns));
    return result;
}

std::size_t DirectResult::MemoryBytes() const {
    return arena_.capacity() + row_offsets_.capacity() * sizeof(std::size_t);
}

bool DirectResult::MoveTo(long row) {
    if (row < 0 || row >= RowCount()) {
        current_ = -1;
        return false;
    }
    std::size_t at = row_offsets_[static_cast<std::size_t>(row)];
    for (std::size_t& offset : value_offsets_) {
        offset = at;
        at += ValueSize(arena_.data(), at);
    }
    current_ = row;
    return true;
}

bool DirectResult::Read(int column, CValue& value) const {
    if (current_ < 0 || column < 0 || column >= ColumnCount()) return false;
    const char* p = arena_.data();
    std::size_t at = value_offsets_[static_cast<std::size_t>(column)];
    const auto kind = static_cast<unsigned char>(p[at++]);
    switch (kind) {
        case kNull: value.Reset(); break;
        case kReal: {
            double v;
            std::memcpy(&v, p + at, 8);
            SetReal(v, value);
            break;
        }
        case kText: {
            // Copied once, into the value's own buffer (kept from its last text); the explicit
            // length keeps any NUL byte of the text.
            const int n = static_cast<int>(GetLength(p, at));
            value = "";
            std::memcpy(value.m_String.GetBuffer(n), p + at, static_cast<std::size_t>(n));
            value.m_String.ReleaseBuffer(n);
            break;
        }
        case kDecimal: {
            const std::size_t n = GetLength(p, at);
            SetDecimal(std::string_view(p + at, n), value);
            break;
        }
        case kInt1: value = CNumeric(static_cast<long long>(static_cast<std::int8_t>(p[at]))); break;
        case kInt2: { std::int16_t v; std::memcpy(&v, p + at, 2); value = CNumeric(static_cast<long long>(v)); break; }
        case kInt4: { std::int32_t v; std::memcpy(&v, p + at, 4); value = CNumeric(static_cast<long long>(v)); break; }
        default: { std::int64_t v; std::memcpy(&v, p + at, 8); value = CNumeric(static_cast<long long>(v)); break; }
    }
    return true;
}

}  // namespace oledb_backend
