#include "foxpro/table_reader.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "foxpro/error.h"
#include "foxpro/field_decoder.h"
#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

bool SameLoosely(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string MemoExtension(const std::string& path, MemoKind kind) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (SameLoosely(extension, ".dbc")) return "dct";
    return kind == MemoKind::Fpt ? "fpt" : "dbt";
}

}  // namespace

std::optional<std::string> FindSibling(const std::string& path, const std::string& extension) {
    namespace fs = std::filesystem;
    const fs::path table(path);
    const std::string wanted = table.stem().string() + "." + extension;
    const fs::path folder = table.parent_path().empty() ? fs::path(".") : table.parent_path();
    std::error_code error;
    if (fs::exists(folder / wanted, error)) return (folder / wanted).string();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (SameLoosely(it->path().filename().string(), wanted)) return it->path().string();
    return std::nullopt;
}

int ChooseCodePage(std::uint8_t mark, const ReaderOptions& options) {
    if (options.code_page) return *options.code_page;
    if (mark == 0) return options.unmarked_code_page;
    return CodePageOfMark(mark).value_or(0);
}

std::unique_ptr<TableReader> TableReader::Open(const std::string& path, const ReaderOptions& options) {
    std::unique_ptr<ByteSource> dbf = OpenFileSource(path);
    const TableHeader header = ReadTableHeader(*dbf, options.keep_unknown_types);
    std::unique_ptr<ByteSource> memo;
    if (header.memo_kind != MemoKind::None) {
        const std::string extension = MemoExtension(path, header.memo_kind);
        const std::optional<std::string> memo_path = FindSibling(path, extension);
        if (!memo_path)
            throw FoxProError({path}, Fill(_("the table has memo fields but its memo file (.%s) is missing"), {extension}));
        memo = OpenFileSource(*memo_path);
    }
    return std::make_unique<TableReader>(std::move(dbf), std::move(memo), options);
}

TableReader::TableReader(std::unique_ptr<ByteSource> dbf, std::unique_ptr<ByteSource> memo,
                         const ReaderOptions& options)
    : dbf_(std::move(dbf)), header_(ReadTableHeader(*dbf_, options.keep_unknown_types)),
      include_deleted_(options.include_deleted) {
    if (header_.memo_kind != MemoKind::None) {
        if (!memo) throw FoxProError({dbf_->Name()}, _("the table has memo fields but no memo file"));
        memo_ = std::make_unique<MemoFile>(std::move(memo), header_.memo_kind);
    }
    for (const FieldInfo& field : header_.fields)
        if (!field.system) columns_.push_back(field);
    const int code_page = ChooseCodePage(header_.code_page_mark, options);
    if (code_page == 0) {
        char mark[8];
        std::snprintf(mark, sizeof mark, "0x%02X", header_.code_page_mark);
        throw FoxProError({dbf_->Name()}, Fill(_("unknown code page mark %s; name the code page in the options"), {mark}));
    }
    if (!IsSupportedCodePage(code_page))
        throw FoxProError({dbf_->Name()}, Fill(_("code page %s cannot be converted; name another in the options"),
                                               {std::to_string(code_page)}));
    decoder_ = std::make_unique<TextDecoder>(code_page);
}

bool TableReader::Next(Record& record) {
    while (next_ < header_.record_count) {
        const std::uint32_t index = next_++;
        const std::uint64_t at = header_.header_length + static_cast<std::uint64_t>(index) * header_.record_length;
        const std::string bytes = dbf_->ReadAt(at, header_.record_length);
        ErrorPlace place{dbf_->Name(), index + 1, ""};
        if (bytes.size() < header_.record_length) throw FoxProError(place, _("the record is cut off by the file's end"));
        const bool deleted = bytes[0] == '*';
        if (deleted && !include_deleted_) continue;
        std::string_view flags;
        if (header_.null_flags_field >= 0) {
            const FieldInfo& field = header_.fields[static_cast<std::size_t>(header_.null_flags_field)];
            flags = std::string_view(bytes).substr(field.offset, field.length);
        }
        DecodeContext context{*decoder_, memo_.get(), flags};
        record.number = index + 1;
        record.deleted = deleted;
        record.values.clear();
        for (const FieldInfo& field : columns_) {
            place.field = field.name;
            record.values.push_back(
                DecodeField(field, std::string_view(bytes).substr(field.offset, field.length), context, place));
        }
        return true;
    }
    return false;
}

}  // namespace rowlark::foxpro
