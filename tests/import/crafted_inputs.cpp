#include "tests/import/crafted_inputs.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "foxpro/error.h"
#include "foxpro/table_reader.h"

namespace import_test {

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::size_t Le16(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// One corpus entry as the fuzz target cuts it: two 16-bit lengths, the table, its memo, the index.
std::vector<CraftedInput> FromEntry(const std::string& name, const std::string& entry) {
    if (entry.size() < 4) return {};
    std::string_view rest = std::string_view(entry).substr(4);
    const std::string dbf(rest.substr(0, Le16(entry, 0)));
    rest.remove_prefix(dbf.size());
    const std::string memo(rest.substr(0, Le16(entry, 2)));
    rest.remove_prefix(memo.size());
    CraftedInput table{name + " as a table", {{"t.dbf", dbf}}, "t.dbf", {}};
    if (!memo.empty()) {
        // The reader takes the memo file its header names: an .fpt or a dBase .dbt.
        table.files.emplace_back("t.fpt", memo);
        table.files.emplace_back("t.dbt", memo);
    }
    if (!rest.empty()) table.files.emplace_back("t.cdx", std::string(rest));
    CraftedInput container{name + " as a container", {{"t.dbc", dbf}}, "t.dbc", {}};
    if (!memo.empty()) container.files.emplace_back("t.dct", memo);
    return {table, container};
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(Le16(bytes, at) | Le16(bytes, at + 2) << 16);
}

// Where a table's fields and records lie, as far as its header's bytes go.
struct Layout {
    struct Field {
        std::size_t descriptor;  // of its 32 bytes in the header
        char type;
        std::size_t offset;      // within a record
        std::size_t length;
        std::string name;
    };
    std::vector<Field> fields;
    std::size_t header_length = 0;
    std::size_t record_length = 0;
    std::uint32_t records = 0;
};

Layout LayoutOf(const std::string& dbf) {
    Layout layout;
    if (dbf.size() < 32) return layout;
    layout.header_length = Le16(dbf, 8);
    layout.record_length = Le16(dbf, 10);
    layout.records = Le32(dbf, 4);
    std::size_t offset = 1;
    for (std::size_t at = 32; at + 32 <= std::min(dbf.size(), layout.header_length) && dbf[at] != '\x0D'; at += 32) {
        const std::size_t length = static_cast<unsigned char>(dbf[at + 16]);
        layout.fields.push_back({at, dbf[at + 11], offset, length, std::string(dbf.c_str() + at, strnlen(dbf.c_str() + at, 11))});
        offset += length;
    }
    return layout;
}

// Whether the reader, as the import reads, takes every record of the entry.
bool ReadsWhole(const CraftedInput& entry) {
    const std::string* memo = nullptr;
    for (const auto& [name, bytes] : entry.files)
        if (name == "t.fpt") memo = &bytes;
    try {
        rowlark::foxpro::ReaderOptions options;
        options.keep_unknown_types = true;
        rowlark::foxpro::TableReader reader(rowlark::foxpro::MemorySource("t.dbf", entry.files.front().second),
                                            memo ? rowlark::foxpro::MemorySource("t.fpt", *memo) : nullptr, options);
        rowlark::foxpro::Record record;
        while (reader.Next(record)) {
        }
        return true;
    } catch (const rowlark::foxpro::FoxProError&) {
        return false;
    }
}

// The record's bytes (from 0) within the table, when the file holds it whole.
char* RecordAt(std::string& dbf, const Layout& layout, std::uint32_t index) {
    const std::size_t at = layout.header_length + std::size_t{index} * layout.record_length;
    return layout.record_length > 0 && at + layout.record_length <= dbf.size() ? &dbf[at] : nullptr;
}

std::vector<CraftedInput> DamagesOf(const CraftedInput& entry) {
    const std::string& dbf = entry.files.front().second;
    const Layout layout = LayoutOf(dbf);
    if (layout.fields.empty()) return {};
    std::vector<CraftedInput> damaged;
    CraftedInput names = entry;
    names.name += ", its field names in the code page's upper half";
    for (const Layout::Field& field : layout.fields)
        if (!field.name.empty() && field.name[0] != '_') names.files.front().second[field.descriptor] = '\xC8';
    damaged.push_back(names);
    CraftedInput nul = entry;
    nul.name += ", a NUL inside the texts of its first record";
    if (char* record = RecordAt(nul.files.front().second, layout, 0)) {
        record[0] = ' ';
        for (const Layout::Field& field : layout.fields)
            if (field.type == 'C' && field.length >= 3 && field.offset + 1 < layout.record_length) record[field.offset + 1] = '\0';
        damaged.push_back(nul);
    }
    CraftedInput letter = entry;
    letter.name += ", a letter in a number or date of its last record";
    char* last = layout.records ? RecordAt(letter.files.front().second, layout, layout.records - 1) : nullptr;
    const auto number = std::find_if(layout.fields.begin(), layout.fields.end(), [&](const Layout::Field& field) {
        return (field.type == 'N' || field.type == 'F' || field.type == 'D') && field.length > 0 && field.offset < layout.record_length;
    });
    if (last && number != layout.fields.end()) {
        last[0] = ' ';
        last[number->offset] = 'x';
        if (ReadsWhole(entry)) letter.place = "record " + std::to_string(layout.records) + ", field " + number->name;
        damaged.push_back(letter);
    }
    CraftedInput memo = entry;
    memo.name += ", its memo file cut in half";
    bool cut = false;
    for (auto& [name, bytes] : memo.files)
        if (name != "t.dbf" && name != "t.cdx") {
            bytes.resize(bytes.size() / 2);
            cut = true;
        }
    if (cut) damaged.push_back(memo);
    return damaged;
}

// A damaged copy of a shared table: its files by the names the import is given, one of them changed.
struct Damage {
    std::string name;
    std::vector<std::pair<std::string, std::string>> sources;  // file name in the input, path under data
    std::function<void(std::vector<std::pair<std::string, std::string>>&)> change;  // over the files' bytes
    std::string place;
};

std::string& Bytes(std::vector<std::pair<std::string, std::string>>& files, const std::string& name) {
    for (auto& file : files)
        if (file.first == name) return file.second;
    throw std::invalid_argument("no file " + name);
}

std::vector<Damage> Damages() {
    using Files = std::vector<std::pair<std::string, std::string>>;
    const std::vector<std::pair<std::string, std::string>> d03{{"t.dbf", "dbase_03.dbf"}};
    const std::vector<std::pair<std::string, std::string>> d31{{"t.dbf", "dbase_31.dbf"}};
    const std::vector<std::pair<std::string, std::string>> calls{
        {"t.dbf", "vfp_database/calls.dbf"}, {"t.fpt", "vfp_database/calls.FPT"}, {"t.cdx", "vfp_database/calls.CDX"}};
    constexpr std::size_t kRecord3 = 1025 + 2 * 590;                                 // dbase_03's third record
    constexpr std::size_t kDateVisit = kRecord3 + 1 + 12 + 20 + 20 + 20 + 60 + 20 + 20 + 60;
    constexpr std::size_t kNotes2 = 488 + 283 + 279;                                 // calls' record 2, NOTES
    return {
        {"a header of 10 bytes", d03, [](Files& f) { Bytes(f, "t.dbf") = std::string(10, '\x30'); }, {}},
        {"a header cut at 500 bytes", d03, [](Files& f) { Bytes(f, "t.dbf").resize(500); }, {}},
        {"15 records counted, 9 held", d03, [](Files& f) { PutLe32(Bytes(f, "t.dbf"), 4, 15); }, {}},
        {"4294967295 records counted", d03, [](Files& f) { PutLe32(Bytes(f, "t.dbf"), 4, 0xFFFFFFFF); }, {}},
        {"a field list without its terminator", d03, [](Files& f) { Bytes(f, "t.dbf")[1024] = ' '; }, {}},
        {"a field of type Z", d31, [](Files& f) { Bytes(f, "t.dbf")[32 + 32 + 11] = 'Z'; }, {}},
        {"a field of type Z and no bytes", d31,
         [](Files& f) { Bytes(f, "t.dbf")[32 + 32 + 11] = 'Z'; Bytes(f, "t.dbf")[32 + 32 + 16] = 0; }, {}},
        {"an I field of 5 bytes", d31, [](Files& f) { Bytes(f, "t.dbf")[32 + 16] = 5; }, {}},
        {"a record length one too long", d31, [](Files& f) { ++Bytes(f, "t.dbf")[10]; }, {}},
        {"the 41st month", d03, [](Files& f) { Bytes(f, "t.dbf").replace(kDateVisit, 8, "20051341"); },
         "record 3, field Date_Visit"},
        {"29 February 1900", d03, [](Files& f) { Bytes(f, "t.dbf").replace(kDateVisit, 8, "19000229"); },
         "record 3, field Date_Visit"},
        {"a number with a letter", d03, [](Files& f) { Bytes(f, "t.dbf").replace(kDateVisit + 8 + 10, 5, " 1x.2"); },
         "record 3, field Max_PDOP"},
        {"a memo pointer past the memo file", calls, [](Files& f) { PutLe32(Bytes(f, "t.dbf"), kNotes2, 1000); },
         "record 2, field NOTES"},
        {"a memo pointer into the memo header", calls, [](Files& f) { PutLe32(Bytes(f, "t.dbf"), kNotes2, 2); },
         "record 2, field NOTES"},
        {"a memo block longer than the memo file", calls, [](Files& f) { Bytes(f, "t.fpt")[8 * 64 + 4] = '\x7F'; },
         "record 1, field NOTES"},
        {"memo fields without a memo file", calls,
         [](Files& f) { f.erase(std::remove_if(f.begin(), f.end(), [](const auto& file) { return file.first == "t.fpt"; }), f.end()); },
         {}},
        {"an unknown code page mark", {{"t.dbf", "cp1251.dbf"}}, [](Files& f) { Bytes(f, "t.dbf")[29] = '\x7F'; }, {}},
        {"an index cut at 700 bytes", calls, [](Files& f) { Bytes(f, "t.cdx").resize(700); }, {}},
        {"an index cut at 1200 bytes", calls, [](Files& f) { Bytes(f, "t.cdx").resize(1200); }, {}},
        {"an index whose tag directory points at itself", calls,
         [](Files& f) {
             std::string& cdx = Bytes(f, "t.cdx");
             cdx[1024] = 0;  // the directory's root leaf becomes an interior node pointing at itself
             cdx[1026] = 1;
             cdx.replace(1024 + 12 + 10 + 4, 4, std::string("\0\0\4\0", 4));
         },
         {}},
    };
}

}  // namespace

std::vector<CraftedInput> CorpusInputs(const std::string& folder, std::size_t most) {
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    const std::size_t stride = std::max<std::size_t>(1, (entries.size() + most - 1) / std::max<std::size_t>(most, 1));
    std::vector<CraftedInput> inputs;
    for (std::size_t i = 0; i < entries.size(); i += stride)
        for (CraftedInput& input : FromEntry(entries[i].filename().string(), ReadAll(entries[i])))
            inputs.push_back(std::move(input));
    return inputs;
}

std::vector<CraftedInput> DamagedEntries(const std::vector<CraftedInput>& corpus) {
    std::vector<CraftedInput> damaged;
    for (const CraftedInput& entry : corpus)
        if (entry.input == "t.dbf")
            for (CraftedInput& input : DamagesOf(entry)) damaged.push_back(std::move(input));
    return damaged;
}

std::vector<CraftedInput> DamagedTables(const std::string& data) {
    std::vector<CraftedInput> inputs;
    for (const Damage& damage : Damages()) {
        CraftedInput input{damage.name, {}, "t.dbf", damage.place};
        for (const auto& [name, source] : damage.sources) input.files.emplace_back(name, ReadAll(fs::path(data) / source));
        damage.change(input.files);
        inputs.push_back(std::move(input));
    }
    return inputs;
}

std::string WriteInput(const CraftedInput& input, const std::string& folder) {
    for (const auto& [name, bytes] : input.files) {
        std::ofstream out(fs::path(folder) / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + name + " in " + folder);
    }
    return (fs::path(folder) / input.input).string();
}

}  // namespace import_test
