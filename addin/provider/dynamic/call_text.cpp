#include "addin/provider/dynamic/call_text.h"

namespace OleDb {
namespace GridProvider {

void WriteQuoted(std::ostream& out, std::string_view text) {
    out << '\'';
    std::size_t start = 0;
    for (std::size_t quote; (quote = text.find('\'', start)) != std::string_view::npos; start = quote + 1)
        out << text.substr(start, quote + 1 - start) << '\'';  // up to the apostrophe, then it once more
    out << text.substr(start) << '\'';
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '\'';
    for (const char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
}

void WriteQueryRowsCall(std::ostream& out, const QueryRowsCall& call) {
    out << "QueryRows (";
    WriteQuoted(out, call.table);
    out << ", ";
    WriteQuoted(out, call.index_tag);
    out << ", ";
    WriteQuoted(out, call.start_index);
    out << ", ";
    WriteQuoted(out, call.start_key);
    out << ", " << call.count << ", ";
    WriteQuoted(out, call.key_field);
    out << ',' << (call.forward ? '1' : '0') << ", ";
    WriteQuoted(out, call.filter_from);
    out << ", ";
    WriteQuoted(out, call.filter_to);
    out << ',' << (call.inclusive ? '1' : '0') << ')';
}

}  // namespace GridProvider
}  // namespace OleDb
