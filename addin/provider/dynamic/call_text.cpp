#include "addin/provider/dynamic/call_text.h"

namespace OleDb {
namespace GridProvider {

void AppendQuoted(std::string& out, std::string_view text) {
    out += '\'';
    std::size_t start = 0;
    for (std::size_t quote; (quote = text.find('\'', start)) != std::string_view::npos; start = quote + 1) {
        out.append(text.substr(start, quote + 1 - start));  // up to the apostrophe, then it once more
        out += '\'';
    }
    out.append(text.substr(start));
    out += '\'';
}

std::string QueryRowsCallText(const QueryRowsCall& call) {
    std::string text = "QueryRows (";
    AppendQuoted(text, call.table);
    text += ", ";
    AppendQuoted(text, call.index_tag);
    text += ", ";
    AppendQuoted(text, call.start_index);
    text += ", ";
    AppendQuoted(text, call.start_key);
    text += ", " + std::to_string(call.count) + ", ";  // integers ignore the locale's grouping
    AppendQuoted(text, call.key_field);
    text += call.forward ? ",1, " : ",0, ";
    AppendQuoted(text, call.filter_from);
    text += ", ";
    AppendQuoted(text, call.filter_to);
    text += call.inclusive ? ",1)" : ",0)";
    return text;
}

}  // namespace GridProvider
}  // namespace OleDb
