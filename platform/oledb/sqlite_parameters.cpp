#include "platform/oledb/sqlite_parameters.h"

#include <algorithm>
#include <set>
#include <string>

#include "platform/oledb/sqlite_tokens.h"

namespace oledb_backend {

namespace {

// The digits of "?NNN" without leading zeros ("0" for none but zeros); the number, capped where
// SQLite refuses it anyway.
std::string Digits(std::string_view digits, long& number) {
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    number = 0;
    for (const char c : digits) number = std::min(number * 10 + (c - '0'), 1000000L);
    return first == digits.size() ? std::string("0") : std::string(digits.substr(first));
}

}  // namespace

std::vector<ParameterRef> SqliteParametersIn(std::string_view sql) {
    std::vector<ParameterRef> refs;
    std::set<std::string_view> named;
    long highest = 0;  // SQLite's count of parameter numbers given so far
    std::size_t at = 0, end = 0;
    for (SqlToken token; (token = NextSqlToken(sql, at, end)) != SqlToken::kEnd; at = end) {
        if (token != SqlToken::kParameter) continue;
        const std::string_view written = sql.substr(at, end - at);
        if (written[0] == '#' && written[1] >= '0' && written[1] <= '9') continue;  // SQLite refuses "#1"
        if (written == "?") {
            refs.push_back({"?", std::to_string(++highest)});
        } else if (written[0] == '?') {
            long number = 0;
            std::string digits = Digits(written.substr(1), number);
            highest = std::max(highest, number);
            if (named.insert(written).second) refs.push_back({std::string(written), std::move(digits)});
        } else if (named.insert(written).second) {
            ++highest;
            refs.push_back({std::string(written), std::string(written.substr(1))});
        }
    }
    return refs;
}

}  // namespace oledb_backend
