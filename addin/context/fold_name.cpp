#include "addin/context/fold_name.h"

#include <array>

namespace Utils1s::Context {
namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const bool capital = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF);
        table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(capital ? b + 0x20 : b);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kFoldTable = MakeFoldTable();

}  // namespace

unsigned char FoldByte(unsigned char byte) { return kFoldTable[byte]; }

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    return folded;
}

}  // namespace Utils1s::Context
