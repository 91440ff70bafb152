#include "bench/import/sample_table.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace import_bench {

namespace {

const char* const kWords[] = {"Молоко", "Хлеб", "Сыр", "Масло", "Чай", "Кофе", "Сахар", "Соль"};
// The same words in code page 1251, written by the table writer.
const char* const kWords1251[] = {"\xcc\xee\xeb\xee\xea\xee", "\xd5\xeb\xe5\xe1", "\xd1\xfb\xf0",
                                  "\xcc\xe0\xf1\xeb\xee", "\xd7\xe0\xe9", "\xca\xee\xf4\xe5",
                                  "\xd1\xe0\xf5\xe0\xf0", "\xd1\xee\xeb\xfc"};

void Put32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (8 * i));
}
void PutBig32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (8 * (3 - i)));
}

std::string Day(std::uint32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "20%02u-%02u-%02u", n % 25, 1 + n % 12, 1 + n % 28);
    return text;
}

std::string Price(std::uint32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%02u", n % 100000, n % 100);
    return text;
}

void Write(const std::string& path, std::uint32_t records) {
    struct Field { const char* name; char type; std::uint8_t length, decimals; };
    const Field fields[] = {{"NAME", 'C', 30, 0}, {"PRICE", 'N', 10, 2}, {"DAY", 'D', 8, 0},
                            {"FLAG", 'L', 1, 0},  {"NOTE", 'M', 4, 0}};
    const std::uint16_t record_length = 1 + 30 + 10 + 8 + 1 + 4;
    const std::uint16_t header_length = 32 + 32 * 5 + 1 + 263;
    std::string header(header_length, '\0');
    header[0] = 0x30;
    header[1] = 124; header[2] = 1; header[3] = 1;
    Put32(header, 4, records);
    header[8] = static_cast<char>(header_length & 0xFF); header[9] = static_cast<char>(header_length >> 8);
    header[10] = static_cast<char>(record_length & 0xFF); header[11] = static_cast<char>(record_length >> 8);
    header[28] = 0x02;
    header[29] = static_cast<char>(0xC9);  // code page 1251
    std::uint32_t offset = 1;
    for (int i = 0; i < 5; ++i) {
        std::string& h = header;
        const std::size_t at = 32 + 32 * i;
        std::memcpy(&h[at], fields[i].name, std::strlen(fields[i].name));
        h[at + 11] = fields[i].type;
        Put32(h, at + 12, offset);
        h[at + 16] = static_cast<char>(fields[i].length);
        h[at + 17] = static_cast<char>(fields[i].decimals);
        offset += fields[i].length;
    }
    header[32 + 32 * 5] = 0x0D;

    const std::uint32_t block = 64;
    std::ofstream dbf(path, std::ios::binary), fpt(path.substr(0, path.size() - 3) + "fpt", std::ios::binary);
    std::string memo_header(512, '\0');
    std::uint32_t next_block = 512 / block;
    dbf << header;
    fpt << memo_header;
    std::string record(record_length, ' ');
    for (std::uint32_t n = 0; n < records; ++n) {
        record.assign(record_length, ' ');
        const std::string name = std::string(kWords1251[n % 8]) + " " + std::to_string(n);
        record.replace(1, name.size(), name);
        const std::string price = Price(n);
        record.replace(31 + 10 - price.size(), price.size(), price);
        std::string day = Day(n);
        day.erase(4, 1).erase(6, 1);
        record.replace(41, 8, day);
        record[49] = n % 3 == 0 ? 'T' : 'F';
        std::uint32_t memo_block = 0;
        if (n % 10 == 0) {
            // "Заметка N" in code page 1251, as RowOf gives it in UTF-8.
            std::string cp = std::string("\xc7\xe0\xec\xe5\xf2\xea\xe0 ") + std::to_string(n);
            std::string memo(8, '\0');
            PutBig32(memo, 0, 1);
            PutBig32(memo, 4, static_cast<std::uint32_t>(cp.size()));
            memo += cp;
            const std::uint32_t blocks = static_cast<std::uint32_t>((memo.size() + block - 1) / block);
            memo.resize(blocks * block, '\0');
            fpt << memo;
            memo_block = next_block;
            next_block += blocks;
        }
        Put32(record, 50, memo_block);
        dbf << record;
    }
    dbf << '\x1A';
    fpt.seekp(0);
    std::string top(8, '\0');
    PutBig32(top, 0, next_block);
    top[6] = 0; top[7] = static_cast<char>(block);
    fpt << top;
    if (!dbf || !fpt) throw std::runtime_error("cannot write " + path);
}

}  // namespace

SampleRow RowOf(std::uint32_t n) {
    SampleRow row;
    row.name = std::string(kWords[n % 8]) + " " + std::to_string(n);
    row.price = Price(n);
    row.day = Day(n);
    row.flag = n % 3 == 0;
    if (n % 10 == 0) row.memo = "Заметка " + std::to_string(n);
    return row;
}

std::string SampleTable(std::uint32_t records) {
    const std::string folder = "/tmp/rowlark-bench";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/goods_" + std::to_string(records) + ".dbf";
    if (!std::filesystem::exists(path)) {
        const std::string temp = folder + "/writing_" + std::to_string(records) + ".dbf";
        Write(temp, records);
        std::filesystem::rename(temp.substr(0, temp.size() - 3) + "fpt", path.substr(0, path.size() - 3) + "fpt");
        std::filesystem::rename(temp, path);
    }
    return path;
}

}  // namespace import_bench
