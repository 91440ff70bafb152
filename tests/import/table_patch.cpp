#include "tests/import/table_patch.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "foxpro/table_reader.h"
#include "tests/import/import_fixture.h"

namespace import_test {

namespace {

namespace fs = std::filesystem;
namespace fp = rowlark::foxpro;

std::string ReadAt(const std::string& path, std::uint64_t offset, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    return bytes;
}

std::uint32_t Unsigned(const std::string& bytes, bool big_endian) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[big_endian ? i : bytes.size() - 1 - i]);
    return value;
}

const fp::FieldInfo& Field(const fp::TableHeader& header, const std::string& name, std::size_t* index = nullptr) {
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        if (header.fields[i].name != name) continue;
        if (index) *index = i;
        return header.fields[i];
    }
    throw std::invalid_argument("no field " + name);
}

}  // namespace

PatchedTables::PatchedTables() {
    char folder[] = "/tmp/rowlark_import_patched.XXXXXX";
    if (::mkdtemp(folder) == nullptr) throw std::runtime_error("no temporary folder");
    folder_ = folder;
}

PatchedTables::~PatchedTables() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string PatchedTables::Copy(std::initializer_list<std::string> files, const std::string& name) {
    std::string first;
    for (const std::string& file : files) {
        const fs::path source = kData + "/" + file;
        const fs::path copy = fs::path(folder_) / (name.empty() ? source.filename().string() : name + source.extension().string());
        fs::copy_file(source, copy);
        if (first.empty()) first = copy.string();
    }
    return first;
}

std::string PatchedTables::Read(const std::string& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? std::string() : ReadAt(path, 0, size);
}

void PatchedTables::Write(const std::string& path, std::uint64_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

void PatchedTables::WriteField(const std::string& dbf, std::uint32_t record, const std::string& field,
                               const std::string& bytes) {
    const auto reader = fp::TableReader::Open(dbf);
    const fp::TableHeader& header = reader->Header();
    Write(dbf, header.header_length + std::uint64_t{record - 1} * header.record_length + Field(header, field).offset, bytes);
}

std::uint64_t PatchedTables::Descriptor(const std::string& dbf, const std::string& field) {
    const auto reader = fp::TableReader::Open(dbf);
    std::size_t index = 0;
    Field(reader->Header(), field, &index);
    return 32 + 32 * index;
}

std::uint64_t PatchedTables::MemoText(const std::string& dbf, std::uint32_t record, const std::string& field) {
    const auto reader = fp::TableReader::Open(dbf);
    const fp::TableHeader& header = reader->Header();
    const fp::FieldInfo& info = Field(header, field);
    const std::uint32_t block =
        Unsigned(ReadAt(dbf, header.header_length + std::uint64_t{record - 1} * header.record_length + info.offset, 4), false);
    const std::string fpt = *fp::FindSibling(dbf, "fpt");
    const std::uint32_t block_size = Unsigned(ReadAt(fpt, 6, 2), true);
    return std::uint64_t{block} * block_size + 8;
}

}  // namespace import_test
