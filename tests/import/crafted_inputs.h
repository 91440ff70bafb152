#pragma once
// Crafted FoxPro inputs for sweeping the import: the entries of the dbf_reader fuzz corpus (each cut
// into a table, its memo file and its compound index as fuzz/dbf_reader.cpp cuts it, and read both
// as a table and as a database container) and the damaged tables the reader's own tests make.
// Each input is a few files written into a folder and the one of them the import is given.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace import_test {

struct CraftedInput {
    std::string name;                                        // what it is, for failure messages
    std::vector<std::pair<std::string, std::string>> files;  // file name and bytes
    std::string input;                                       // the file to import, one of files
    std::string place;  // what a refusal must name beyond the file ("record 3, field X"); empty: nothing more
};

// Two inputs per entry of the corpus folder, in name order; of more than most entries, every
// n-th is taken (n the smallest stride that keeps at most most), so a run sweeps the same ones.
std::vector<CraftedInput> CorpusInputs(const std::string& folder, std::size_t most);

// Damage the sweep does to each corpus table (an entry read as a table) where its header can be read:
// its field names in its code page's upper half, a NUL inside each C value of its first record, a
// letter in a number or date of its last record (a refusal naming that record and field where the
// entry itself reads whole), its memo file cut in half.
std::vector<CraftedInput> DamagedEntries(const std::vector<CraftedInput>& corpus);

// The tables, memo files and indexes tests/foxpro/bad_files_test.cpp damages, made from the same
// shared tables (data: the folder of tests/foxpro/data) in the same ways.
std::vector<CraftedInput> DamagedTables(const std::string& data);

// Writes the input's files into folder (which must exist); the path of the file to import.
std::string WriteInput(const CraftedInput& input, const std::string& folder);

}  // namespace import_test
