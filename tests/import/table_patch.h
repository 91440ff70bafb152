#pragma once
// Copies of the shared tables with a few bytes changed, where a test needs a value, a name or a
// type that no program here writes: in a folder of the test's own, removed with the object.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace import_test {

class PatchedTables {
public:
    PatchedTables();
    ~PatchedTables();
    PatchedTables(const PatchedTables&) = delete;
    PatchedTables& operator=(const PatchedTables&) = delete;

    // Copies files (paths under the shared data) into the folder, under name when given (the
    // extension kept); the path of the first copy.
    std::string Copy(std::initializer_list<std::string> files, const std::string& name = {});

    // The bytes of the file at path.
    static std::string Read(const std::string& path);
    // Writes bytes at offset of the file at path.
    static void Write(const std::string& path, std::uint64_t offset, const std::string& bytes);
    // Writes bytes over the start of a field of a record (from 1) of the table at dbf.
    static void WriteField(const std::string& dbf, std::uint32_t record, const std::string& field, const std::string& bytes);
    // Where the header of the table at dbf describes the field (its 32 bytes: name, type at +11, ...).
    static std::uint64_t Descriptor(const std::string& dbf, const std::string& field);
    // Where the text of a record's memo in field starts in the table's .fpt.
    static std::uint64_t MemoText(const std::string& dbf, std::uint32_t record, const std::string& field);

    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};

}  // namespace import_test
