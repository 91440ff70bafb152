#include "addin/provider/row_shelf.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

// Under AddressSanitizer a shelved block stays poisoned until it is taken again, so a row used
// after its delete is still reported.
#if defined(__SANITIZE_ADDRESS__)
#define ROWLARK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROWLARK_ASAN 1
#endif
#endif
#ifdef ROWLARK_ASAN
#include <sanitizer/asan_interface.h>
#define ROWLARK_POISON(block, size) ASAN_POISON_MEMORY_REGION(block, size)
#define ROWLARK_UNPOISON(block, size) ASAN_UNPOISON_MEMORY_REGION(block, size)
#else
#define ROWLARK_POISON(block, size) ((void)(block), (void)(size))
#define ROWLARK_UNPOISON(block, size) ((void)(block), (void)(size))
#endif

namespace OleDb {
namespace GridProvider {
namespace RowShelf {
namespace {

// Set when the shelf is destroyed at unload: rows deleted after that go straight to the heap.
// Constant-initialised, so it stays readable for as long as the module is mapped.
bool closed = false;

struct Block {
    void* memory;
    std::size_t size;
};

class Shelf {
public:
    Shelf() = default;
    Shelf(const Shelf&) = delete;
    Shelf& operator=(const Shelf&) = delete;
    ~Shelf() {
        closed = true;
        for (std::size_t i = 0; i < blocks_kept_; ++i) {
            ROWLARK_UNPOISON(blocks_[i].memory, blocks_[i].size);
            ::operator delete(blocks_[i].memory);
        }
    }

    std::array<Block, kRows> blocks_{};
    std::size_t blocks_kept_ = 0;
    std::array<std::vector<CValue>, kRows> arrays_;
    std::size_t arrays_kept_ = 0;
};

// Made at first use and destroyed at unload, after which `closed` sends everything to the heap.
Shelf& TheShelf() {
    static Shelf shelf;
    return shelf;
}

// An array may be kept when it is small and none of its texts would keep a large buffer.
bool FitsTheShelf(const std::vector<CValue>& values) {
    if (values.capacity() == 0 || values.capacity() > kColumns) return false;
    return std::all_of(values.begin(), values.end(), [](const CValue& value) {
        return static_cast<std::size_t>(value.m_String.GetLength()) <= kTextBytes;
    });
}

}  // namespace

void* TakeBlock(std::size_t size) {
    if (!closed) {
        Shelf& shelf = TheShelf();
        if (shelf.blocks_kept_ > 0 && shelf.blocks_[shelf.blocks_kept_ - 1].size == size) {
            void* block = shelf.blocks_[--shelf.blocks_kept_].memory;
            ROWLARK_UNPOISON(block, size);
            return block;
        }
    }
    return ::operator new(size);
}

void PutBlock(void* block, std::size_t size) noexcept {
    if (block == nullptr) return;
    if (!closed) {
        Shelf& shelf = TheShelf();
        if (shelf.blocks_kept_ < kRows) {
            shelf.blocks_[shelf.blocks_kept_++] = Block{block, size};
            ROWLARK_POISON(block, size);
            return;
        }
    }
    ::operator delete(block);
}

std::vector<CValue> TakeValues(std::size_t columns) {
    if (!closed) {
        Shelf& shelf = TheShelf();
        if (shelf.arrays_kept_ > 0 && shelf.arrays_[shelf.arrays_kept_ - 1].capacity() >= columns)
            return std::move(shelf.arrays_[--shelf.arrays_kept_]);
    }
    std::vector<CValue> fresh;
    fresh.reserve(columns);
    return fresh;
}

void PutValues(std::vector<CValue>& values) noexcept {
    if (closed || !FitsTheShelf(values)) return;
    // Released first: an object's end may run code that deletes rows and fills the shelf.
    for (CValue& value : values)
        if (value.GetKind() == CValue::Kind::Object) value.Reset();
    Shelf& shelf = TheShelf();
    if (closed || shelf.arrays_kept_ == kRows) return;
    shelf.arrays_[shelf.arrays_kept_++] = std::move(values);
    values.clear();
}

std::size_t KeptBlocks() noexcept { return closed ? 0 : TheShelf().blocks_kept_; }
std::size_t KeptValueArrays() noexcept { return closed ? 0 : TheShelf().arrays_kept_; }

}  // namespace RowShelf
}  // namespace GridProvider
}  // namespace OleDb
