#include "foxpro/database_container.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "foxpro/error.h"
#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

// The property ids the container uses for what is read here.
constexpr unsigned char kTablePath = 0x01;
constexpr unsigned char kIndexIsPrimary = 0x11;
constexpr unsigned char kTablePrimaryTag = 0x14;

struct Object {
    std::int64_t id = 0;
    std::int64_t parent = 0;
    std::string type;
    std::string name;
    std::map<unsigned char, std::string> properties;
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A property memo: entries of a 4-byte length (the entry's own, header included), a 2-byte
// kind, a 1-byte id and the value; texts end with a NUL.
std::map<unsigned char, std::string> ParseProperties(const std::string& memo, const ErrorPlace& place) {
    std::map<unsigned char, std::string> properties;
    std::size_t at = 0;
    while (at + 7 <= memo.size()) {
        std::uint32_t length = 0;
        for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<unsigned char>(memo[at + static_cast<std::size_t>(i)]);
        if (length < 7 || length > memo.size() - at)
            throw FoxProError(place, Fill(_("a property of %s bytes at byte %s runs past the memo's %s"),
                                          {std::to_string(length), std::to_string(at), std::to_string(memo.size())}));
        std::string value = memo.substr(at + 7, length - 7);
        if (!value.empty() && value.back() == '\0') value.pop_back();
        properties[static_cast<unsigned char>(memo[at + 6])] = value;
        at += length;
    }
    return properties;
}

int ColumnIndex(const TableReader& reader, const char* name) {
    const auto& columns = reader.Columns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (Lower(columns[i].name) == Lower(name)) return static_cast<int>(i);
    throw FoxProError({reader.Name()}, Fill(_("a database container needs the field %s"), {name}));
}

std::vector<Object> ReadObjects(TableReader& reader) {
    const int id = ColumnIndex(reader, "objectid"), parent = ColumnIndex(reader, "parentid");
    const int type = ColumnIndex(reader, "objecttype"), name = ColumnIndex(reader, "objectname");
    const int property = ColumnIndex(reader, "property");
    std::vector<Object> objects;
    Record record;
    while (reader.Next(record)) {
        const auto text = [&](int i) { return record.values[static_cast<std::size_t>(i)].text; };
        const auto number = [&](int i) { return record.values[static_cast<std::size_t>(i)].integer; };
        Object object{number(id), number(parent), text(type), text(name), {}};
        object.properties = ParseProperties(text(property), {reader.Name(), record.number, "PROPERTY"});
        objects.push_back(std::move(object));
    }
    return objects;
}

}  // namespace

std::vector<ContainerTable> ReadDatabaseContainer(TableReader& reader) {
    const std::vector<Object> objects = ReadObjects(reader);
    std::vector<ContainerTable> tables;
    for (const Object& table : objects) {
        if (Lower(table.type) != "table") continue;
        ContainerTable entry;
        entry.name = table.name;
        if (table.properties.count(kTablePath) != 0) entry.path = table.properties.at(kTablePath);
        if (table.properties.count(kTablePrimaryTag) != 0) entry.primary_tag = table.properties.at(kTablePrimaryTag);
        for (const Object& child : objects) {
            if (child.parent != table.id) continue;
            if (Lower(child.type) == "field") entry.field_names.push_back(child.name);
            if (Lower(child.type) != "index") continue;
            entry.index_tags.push_back(child.name);
            const auto primary = child.properties.find(kIndexIsPrimary);
            if (entry.primary_tag.empty() && primary != child.properties.end() && primary->second == "\x01")
                entry.primary_tag = child.name;
        }
        tables.push_back(std::move(entry));
    }
    return tables;
}

std::vector<ContainerTable> ReadDatabaseContainer(const std::string& path, const ReaderOptions& options) {
    const std::unique_ptr<TableReader> reader = TableReader::Open(path, options);
    return ReadDatabaseContainer(*reader);
}

}  // namespace rowlark::foxpro
