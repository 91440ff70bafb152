#pragma once
// What rows leave behind when the grid deletes them, kept for the next rows so that a run of
// NextRow calls does not go to the heap for every row: row-sized blocks, and value arrays whose
// texts keep their buffers. Bounded: at most kRows of each, arrays of at most kColumns values and
// texts of at most kTextBytes; anything else goes back to the heap. A shelved array releases the
// objects its values held at once. Used on the host's one user-interface thread, as rows are.

#include <cstddef>
#include <vector>

#include "addin/host/platform.h"

namespace OleDb {
namespace GridProvider {
namespace RowShelf {

constexpr std::size_t kRows = 64;
constexpr std::size_t kColumns = 64;
constexpr std::size_t kTextBytes = 256;

// A block of size bytes: the last one put back when it has that size, else a new one.
void* TakeBlock(std::size_t size);
// Keeps block (of size bytes) for TakeBlock, or frees it when the shelf is full.
void PutBlock(void* block, std::size_t size) noexcept;

// An array with room for columns values: a kept one (its values as an earlier row left them, for
// the caller to overwrite) or a new one with that room reserved.
std::vector<CValue> TakeValues(std::size_t columns);
// Keeps values' storage when it fits the bounds (values is left empty then); else leaves it be.
void PutValues(std::vector<CValue>& values) noexcept;

// How many blocks and arrays are kept now.
std::size_t KeptBlocks() noexcept;
std::size_t KeptValueArrays() noexcept;

}  // namespace RowShelf
}  // namespace GridProvider
}  // namespace OleDb
