// The value table's orderings and sums: Сортировать, Свернуть, Итог.
#include <algorithm>
#include <map>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/objects/collection_errors.h"
#include "tools/script/objects/value_order.h"
#include "tools/script/objects/value_table.h"
#include "tools/script/objects/value_table_members.h"

namespace script {

using namespace value_table_members;

namespace {

struct SortKey {
    std::size_t column;
    bool descending;
};

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The comma-separated parts of a list, trimmed; none for a blank list.
std::vector<std::string_view> Parts(std::string_view list) {
    std::vector<std::string_view> parts;
    if (Trimmed(list).empty()) return parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        parts.push_back(Trimmed(list.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

// a + b; the host's error (and nullopt) when the sum leaves the number's range.
bool AddTo(CNumeric& sum, const CNumeric& term) {
    try {
        sum = Add(sum, term);
        return true;
    } catch (const RuntimeError& error) {
        collection_errors::Pass(error.text.russian);
        return false;
    }
}

}  // namespace

std::optional<std::vector<std::size_t>> ValueTable::ColumnList(std::string_view names) {
    std::vector<std::size_t> columns;
    for (const std::string_view name : Parts(names)) {
        const int found = FindColumn(name);
        if (found < 0) {
            collection_errors::UnknownColumn(name);
            return std::nullopt;
        }
        if (std::find(columns.begin(), columns.end(), static_cast<std::size_t>(found)) == columns.end())
            columns.push_back(static_cast<std::size_t>(found));
    }
    return columns;
}

bool ValueTable::Sort(std::string_view keys) {
    std::vector<SortKey> order;
    const std::vector<std::string_view> parts = Parts(keys);
    if (parts.empty()) {
        collection_errors::UnknownColumn(keys);
        return false;
    }
    for (std::string_view part : parts) {
        bool descending = false;
        if (!part.empty() && (part.back() == '+' || part.back() == '-')) {
            descending = part.back() == '-';
            part = Trimmed(part.substr(0, part.size() - 1));
        }
        const int found = FindColumn(part);
        if (found < 0) {
            collection_errors::UnknownColumn(part);
            return false;
        }
        order.push_back(SortKey{static_cast<std::size_t>(found), descending});
    }
    std::stable_sort(rows_.begin(), rows_.end(), [&order](const Row& a, const Row& b) {
        for (const SortKey& key : order) {
            const int c = CompareValues(a[key.column], b[key.column]);
            if (c != 0) return key.descending ? c > 0 : c < 0;
        }
        return false;
    });
    current_ = 0;
    return true;
}

bool ValueTable::Fold(std::string_view groups, std::string_view sums) {
    const auto group_columns = ColumnList(groups);
    if (!group_columns) return false;
    auto sum_columns = ColumnList(sums);
    if (!sum_columns) return false;
    const auto grouped = [&](std::size_t c) {
        return std::find(group_columns->begin(), group_columns->end(), c) != group_columns->end();
    };
    sum_columns->erase(std::remove_if(sum_columns->begin(), sum_columns->end(), grouped), sum_columns->end());
    // Each group is known by its first row, and gets its place in the order groups first appear.
    const auto less = [&](const Row* a, const Row* b) {
        for (const std::size_t c : *group_columns) {
            const int order = CompareValues((*a)[c], (*b)[c]);
            if (order != 0) return order < 0;
        }
        return false;
    };
    std::map<const Row*, std::size_t, decltype(less)> group_of(less);
    std::vector<const Row*> firsts;
    std::vector<std::vector<CNumeric>> totals;
    for (const Row& row : rows_) {
        const auto [place, added] = group_of.emplace(&row, firsts.size());
        if (added) {
            firsts.push_back(&row);
            totals.emplace_back(sum_columns->size());
        }
        std::vector<CNumeric>& total = totals[place->second];
        for (std::size_t i = 0; i < sum_columns->size(); ++i)
            if (!AddTo(total[i], row[(*sum_columns)[i]].GetNumeric())) return false;
    }
    std::vector<std::size_t> kept;  // the columns that stay, in the table's order
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (grouped(c) || std::find(sum_columns->begin(), sum_columns->end(), c) != sum_columns->end())
            kept.push_back(c);
    std::vector<Row> folded(firsts.size());
    for (std::size_t g = 0; g < firsts.size(); ++g) {
        for (const std::size_t c : kept) {
            const auto summed = std::find(sum_columns->begin(), sum_columns->end(), c);
            folded[g].push_back(summed == sum_columns->end()
                                    ? (*firsts[g])[c]
                                    : Conform(c, NumberValue(totals[g][static_cast<std::size_t>(summed - sum_columns->begin())])));
        }
    }
    std::vector<Column> columns;
    for (const std::size_t c : kept) columns.push_back(columns_[c]);
    columns_ = std::move(columns);
    rows_ = std::move(folded);
    current_ = 0;
    IndexColumns();
    return true;
}

bool ValueTable::Total(const CValue& column, CValue& out) {
    const auto c = ColumnOf(column, Name(kTotal));
    if (!c) return false;
    CNumeric sum;
    for (const Row& row : rows_)
        if (!AddTo(sum, row[*c].GetNumeric())) return false;
    out = NumberValue(sum);
    return true;
}

}  // namespace script
