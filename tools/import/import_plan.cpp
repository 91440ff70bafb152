#include "tools/import/import_plan.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <regex>
#include <stdexcept>
#include <system_error>

#include "foxpro/cdx_reader.h"
#include "foxpro/code_page.h"
#include "foxpro/database_container.h"
#include "foxpro/error.h"
#include "platform/oledb/catalogue.h"
#include "tools/i18n/tool_text.h"
#include "tools/import/name_text.h"

namespace import_tool {

namespace {

namespace fs = std::filesystem;
namespace fp = rowlark::foxpro;
using oledb_backend::AsciiLower;

bool EndsWithDbc(const std::string& path) {
    return path.size() > 4 && AsciiLower(path.substr(path.size() - 4)) == ".dbc";
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The container entry of the table at dbf, when its header names a container beside it.
const fp::ContainerTable* EntryOf(const std::string& dbf, const std::vector<fp::ContainerTable>& tables) {
    const std::string file = AsciiLower(fs::path(dbf).filename().string());
    for (const fp::ContainerTable& table : tables) {
        std::string listed = table.path;
        for (char& c : listed) if (c == '\\') c = '/';
        if (AsciiLower(fs::path(listed).filename().string()) == file) return &table;
    }
    return nullptr;
}

// The file of that name in folder, its letter case matched loosely as on Windows, where FoxPro wrote it.
std::optional<fs::path> FindNoCase(const fs::path& folder, const std::string& name) {
    if (Exists(folder / name)) return folder / name;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder, error))
        if (AsciiLower(entry.path().filename().string()) == AsciiLower(name) && Exists(entry.path())) return entry.path();
    return std::nullopt;
}

// The tables a container lists, their primary tags in UTF-8 (the container keeps them in its code
// page; its names and long field names the reader gives in UTF-8 already).
std::vector<fp::ContainerTable> ContainerTables(const std::string& dbc) {
    const auto reader = fp::TableReader::Open(dbc);
    std::vector<fp::ContainerTable> tables = fp::ReadDatabaseContainer(*reader);
    fp::TextDecoder decoder(reader->CodePage());
    for (fp::ContainerTable& table : tables) table.primary_tag = decoder.ToUtf8(table.primary_tag);
    return tables;
}

// The table's name from its file's: in UTF-8 (a name the file system keeps in the table's own code
// page converted from it) and in small letters.
std::string NameOfFile(const std::string& dbf, fp::TableReader& reader) {
    const std::string stem = fs::path(dbf).stem().string();
    return LowerName(IsUtf8(stem) ? stem : fp::TextDecoder(reader.CodePage()).ToUtf8(stem));
}

SourceTable FromDbf(const std::string& dbf) {
    const auto reader = fp::TableReader::Open(dbf, ImportReading({}));
    SourceTable source{dbf, NameOfFile(dbf, *reader), {}, {}};
    const std::string& backlink = reader->Header().database;
    if (backlink.empty()) return source;
    std::string name = backlink;
    for (char& c : name) if (c == '\\') c = '/';
    const auto container = FindNoCase(fs::path(dbf).parent_path(), fs::path(name).filename().string());
    if (!container) return source;
    try {
        const auto tables = ContainerTables(container->string());
        if (const fp::ContainerTable* entry = EntryOf(dbf, tables)) {
            source.name = entry->name;
            source.long_names = entry->field_names;
            source.primary_tag = entry->primary_tag;
        }
    } catch (const fp::FoxProError&) {
        // A container that cannot be read only costs the long names: the table itself is whole.
    }
    return source;
}

std::vector<fp::KeyColumn> KeyColumns(const TablePlan& plan) {
    std::vector<fp::KeyColumn> columns;
    const std::size_t first = plan.recno_column ? 1 : 0;
    for (std::size_t i = 0; i < plan.fields.size(); ++i) {
        const fp::FieldInfo& field = plan.fields[i];
        const std::string& column = plan.columns[first + i].name;
        columns.push_back({field.name, column, field.type, field.length, field.decimals});
        // A container's tables name their fields by the long names in key expressions too.
        if (i < plan.source.long_names.size() && LowerName(plan.source.long_names[i]) != LowerName(field.name))
            columns.push_back({plan.source.long_names[i], column, field.type, field.length, field.decimals});
    }
    return columns;
}

// The SQL the server cannot run as SQLite does: printf() (STR with a width) and substr() from the
// end (PADL), which the server reads from the start.
std::string ServerRefusal(const std::string& sql) {
    static const std::regex from_end(R"(, -[0-9]+\))");
    if (sql.find("printf(") != std::string::npos) return tool_text::_("STR() with a width is not translated for PostgreSQL");
    if (std::regex_search(sql, from_end)) return tool_text::_("PADL() is not translated for PostgreSQL");
    return {};
}

// The one column a translated key names, when it is exactly a column.
const oledb_backend::FieldDefinition* PlainColumn(const TablePlan& plan, const fp::KeyTranslation& key) {
    for (const auto& column : plan.columns)
        if (key.sql == "\"" + column.name + "\"" && column.name.find('"') == std::string::npos) return &column;
    return nullptr;
}

// The key: the container's primary key tag, else a candidate tag, when it is one field that is never null.
void ChooseKey(TablePlan& plan, const std::vector<fp::TagDescription>& tags) {
    const auto usable = [&](const fp::TagDescription& tag) -> const oledb_backend::FieldDefinition* {
        if (!tag.key.translated) return nullptr;
        const auto* column = PlainColumn(plan, tag.key);
        if (!column) return nullptr;
        const std::size_t at = static_cast<std::size_t>(column - plan.columns.data());
        return plan.fields[at].nullable ? nullptr : column;
    };
    const fp::TagDescription* chosen = nullptr;
    for (const auto& tag : tags)
        if (!plan.source.primary_tag.empty() && LowerName(tag.tag) == LowerName(plan.source.primary_tag) && usable(tag))
            chosen = &tag;
    for (const auto& tag : tags)
        if (!chosen && tag.candidate && usable(tag)) chosen = &tag;
    if (chosen) {
        auto& column = plan.columns[static_cast<std::size_t>(usable(*chosen) - plan.columns.data())];
        column.nullable = false;
        plan.key = column.name;
        return;
    }
    std::string recno = "recno";
    for (int n = 1;; ++n) {
        bool taken = false;
        for (const auto& column : plan.columns) taken = taken || LowerName(column.name) == recno;
        if (!taken) break;
        recno = "recno_" + std::to_string(n);
    }
    plan.columns.insert(plan.columns.begin(), {recno, oledb_backend::FieldType::kInteger, 8, 0, false});
    plan.recno_column = true;
    plan.key = recno;
}

void AddTag(TablePlan& plan, const std::string& name, const fp::KeyTranslation& key, Engine engine) {
    std::string reason = key.translated ? std::string() : key.reason;
    if (reason.empty() && engine == Engine::kServer) reason = ServerRefusal(key.sql);
    for (const PlannedTag& tag : plan.tags)
        if (reason.empty() && LowerName(tag.tag) == LowerName(name)) reason = tool_text::_("a tag of that name comes first");
    if (!reason.empty()) {
        plan.skipped.push_back({name, reason});
        return;
    }
    plan.tags.push_back({name, key.sql, key.kind == fp::KeyKind::Number});
}

// Column names as the fields give them, made unique (some writers repeat a field's name): a repeated
// name gets "_2", "_3", ... and an empty one "field_N".
void MakeNamesUnique(std::vector<oledb_backend::FieldDefinition>& columns) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.empty()) columns[i].name = "field_" + std::to_string(i + 1);
        const std::string base = columns[i].name;
        for (int n = 2;; ++n) {
            bool taken = false;
            for (std::size_t j = 0; j < i; ++j) taken = taken || LowerName(columns[j].name) == LowerName(columns[i].name);
            if (!taken) break;
            columns[i].name = base + "_" + std::to_string(n);
        }
    }
}

// One line for each field of a type not known here, whose bytes the import keeps as they are.
void WarnOfUnknownTypes(TablePlan& plan) {
    for (const fp::FieldInfo& field : plan.fields) {
        if (!field.unknown_type) continue;
        const unsigned char type = static_cast<unsigned char>(field.type);
        char shown[8];
        std::snprintf(shown, sizeof shown, type >= 0x20 && type < 0x7F ? "'%c'" : "0x%02X", type);
        plan.warnings.push_back(tool_text::Fill(
            tool_text::_("field %s has type %s, which is not known here: its bytes are kept as they are, in a binary column"),
            {field.name, shown}));
    }
}

std::uint64_t FileSize(const std::string& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : size;
}

}  // namespace

std::vector<SourceTable> ListSourceTables(const std::vector<std::string>& inputs, std::vector<std::string>& missing) {
    std::vector<SourceTable> tables;
    for (const std::string& input : inputs) {
        if (!EndsWithDbc(input)) {
            tables.push_back(FromDbf(input));
            continue;
        }
        for (const fp::ContainerTable& entry : ContainerTables(input)) {
            std::string listed = entry.path;
            for (char& c : listed) if (c == '\\') c = '/';
            fs::path dbf = fs::path(input).parent_path() / listed;
            if (!Exists(dbf)) {
                // The container was written on Windows: the file's letter case may differ.
                const auto sibling = fp::FindSibling((dbf.parent_path() / dbf.stem()).string() + ".dbf", "dbf");
                if (!sibling) {
                    missing.push_back(entry.name + " (" + dbf.string() + ")");
                    continue;
                }
                dbf = *sibling;
            }
            tables.push_back({dbf.string(), entry.name, entry.field_names, entry.primary_tag});
        }
    }
    return tables;
}

fp::ReaderOptions ImportReading(const fp::ReaderOptions& options) {
    fp::ReaderOptions reading = options;
    reading.keep_unknown_types = true;
    return reading;
}

TablePlan PlanTable(const SourceTable& source, Engine engine, const std::vector<RequestedTag>& requested,
                    const fp::ReaderOptions& options) {
    TablePlan plan;
    plan.source = source;
    const auto reader = fp::TableReader::Open(source.dbf, ImportReading(options));
    fp::TextDecoder decoder(reader->CodePage());  // names and key expressions are in the table's code page
    plan.fields = reader->Columns();
    for (fp::FieldInfo& field : plan.fields) field.name = decoder.ToUtf8(field.name);
    plan.records = reader->Header().record_count;
    WarnOfUnknownTypes(plan);
    const bool long_names = source.long_names.size() == plan.fields.size();
    for (std::size_t i = 0; i < plan.fields.size(); ++i)
        plan.columns.push_back(MapField(plan.fields[i], long_names ? source.long_names[i] : LowerName(plan.fields[i].name), engine));
    MakeNamesUnique(plan.columns);
    plan.bytes = FileSize(source.dbf);
    for (const char* memo : {"fpt", "dbt", "dct"})
        if (const auto path = fp::FindSibling(source.dbf, memo)) plan.bytes += FileSize(*path);

    // Tags translate against the table's own fields, so the record number column added after does not change them.
    std::vector<fp::TagDescription> tags;
    if (const auto cdx = fp::FindSibling(source.dbf, "cdx")) {
        const auto columns = KeyColumns(plan);
        for (fp::CdxTag tag : fp::ReadCdxTags(*fp::OpenFileSource(*cdx))) {
            tag.name = decoder.ToUtf8(tag.name);
            tag.key_expression = decoder.ToUtf8(tag.key_expression);
            tag.for_expression = decoder.ToUtf8(tag.for_expression);
            tags.push_back(fp::DescribeTag(tag, columns));
        }
    }
    ChooseKey(plan, tags);
    for (const fp::TagDescription& tag : tags) AddTag(plan, LowerName(tag.tag), tag.key, engine);
    const auto columns = KeyColumns(plan);
    for (const RequestedTag& tag : requested) {
        if (!tag.table.empty() && LowerName(tag.table) != LowerName(source.name)) continue;
        const auto key = fp::TranslateKeyExpression(tag.expression, columns);
        if (!key.translated)
            throw std::invalid_argument(tool_text::Fill(tool_text::_("tag %s (%s) of table %s: %s"),
                                                        {tag.tag, tag.expression, source.name, key.reason}));
        AddTag(plan, tag.tag, key, engine);
    }
    return plan;
}

}  // namespace import_tool
