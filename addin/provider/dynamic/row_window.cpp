#include "addin/provider/dynamic/row_window.h"

#include <algorithm>
#include <limits>
#include <locale>
#include <utility>
#include <vector>

#include "addin/provider/dynamic/call_text.h"
#include "addin/provider/dynamic/key_lookup.h"
#include "text/cp1251_literal.h"

namespace OleDb {
namespace GridProvider {

namespace {

// Trailing white space as the "C" locale classes it: blank, \t, \n, \v, \f, \r.
std::string_view TrimTrailingSpace(std::string_view text) {
    static const auto& ctype = std::use_facet<std::ctype<char>>(std::locale::classic());  // lives as long as the program
    std::size_t end = text.size();
    while (end > 0 && ctype.is(std::ctype_base::space, text[end - 1])) --end;
    return text.substr(0, end);
}

// |count| without overflow: the grid may pass any int.
std::uint32_t RowsWanted(int count) {
    return static_cast<std::uint32_t>(count > 0 ? static_cast<std::int64_t>(count) : -static_cast<std::int64_t>(count));
}

constexpr std::uint32_t kNoRow = std::numeric_limits<std::uint32_t>::max();  // a key no result row carries
constexpr std::size_t kKeyListReserveRows = 4096;  // reserving for a huge count must not exhaust memory
constexpr std::uint32_t kAllRows = std::numeric_limits<std::uint32_t>::max();

// Raised for every read of the load that fails: of the QueryRows answer and of the row query.
constexpr cp1251::Literal kCannotReadRow{"Ошибка при получении строки запроса"};

}  // namespace

CRowWindow::CRowWindow(OleDb::CResultDirectAccessProxy& result, Utils::CSystemInterface& system,
                       Utils::CUserInterface& user)
    : result_(result), system_(system), user_(user) {}

bool CRowWindow::Load(const DynamicSettings& settings, OleDb::CCommandProxy& command, const CDynamicDataRow* start,
                      int count, bool inclusive) {
    // The previous window goes first, so a load that stops early leaves nothing stale behind.
    entries_.clear();
    result_.Reset();

    QueryRowsCall call;
    call.table = settings.real_table;
    call.index_tag = settings.index_tag;
    if (start) {
        call.start_index = start->GetIndexText();
        call.start_key = start->GetKeyText();
    }
    call.count = RowsWanted(count);
    call.key_field = settings.base_key_field;
    call.forward = count > 0;
    call.filter_from = settings.filter_from;
    call.filter_to = settings.filter_to;
    call.inclusive = inclusive;
    CString text{std::string_view(QueryRowsCallText(call))};
    LONG unused_count = 0;
    OleDb::CResultSequentialAccessProxy answer = command.ExecuteStatementExternalSequential(text, unused_count);
    if (answer.IsEmpty()) return false;

    AnswerKeys& keys = answer_;
    keys.list.clear();
    keys.list.reserve(12 * std::min<std::size_t>(call.count, kKeyListReserveRows));
    keys.keys.Clear();
    // No count asks for no rows; should a procedure answer some anyway, they all count.
    AnswerRead read = ReadKeys(answer, call.count > 0 ? call.count : kAllRows, settings.debug, keys);
    if (read == AnswerRead::kAtCount) {
        // QueryRows answers at most count rows, so its walk is done but not yet closed: the row query
        // runs now, inside the read the walk still holds (one lock of the file per window), and the
        // answer closes right after it.
        const bool loaded = LoadRows(settings, command, keys);
        if (AnswerEnds(answer)) return loaded;
        // A procedure that answers more rows than asked: every row counts, as when read to its end.
        read = TakeKey(answer, settings.debug, keys) ? ReadKeys(answer, kAllRows, settings.debug, keys)
                                                     : AnswerRead::kFailed;
    }
    answer.Reset();
    if (read == AnswerRead::kFailed || keys.keys.IsEmpty()) return false;
    return LoadRows(settings, command, keys);
}

bool CRowWindow::AnswerEnds(OleDb::CResultSequentialAccessProxy& answer) {
    std::deque<KeyEntry> placed;
    placed.swap(entries_);
    OleDb::CResultDirectAccessProxy placed_result = result_;
    result_.Reset();
    if (answer.GetNextRow()) return false;
    entries_.swap(placed);
    result_ = placed_result;
    return true;
}

CRowWindow::AnswerRead CRowWindow::ReadKeys(OleDb::CResultSequentialAccessProxy& answer, std::uint32_t limit,
                                            bool debug, AnswerKeys& keys) {
    while (keys.keys.Rows() < limit) {
        if (!answer.GetNextRow()) return AnswerRead::kAtEnd;
        if (!TakeKey(answer, debug, keys)) return AnswerRead::kFailed;
    }
    return AnswerRead::kAtCount;
}

bool CRowWindow::TakeKey(OleDb::CResultSequentialAccessProxy& answer, bool debug, AnswerKeys& keys) {
    static constexpr cp1251::Literal kKeyMessage{"ИД: "};
    // A key or index text that cannot be read would drop the row or restart the next window
    // elsewhere, so either one ends the load.
    value_.Reset();
    if (!answer.GetFieldValue(0, value_)) {
        system_.RaiseError(kCannotReadRow.str());
        return false;
    }
    key_.assign(value_.GetString().c_str());  // up to its first zero byte
    if (!keys.list.empty()) keys.list += ',';
    AppendQuoted(keys.list, key_);
    if (debug) user_.ShowMessage(kKeyMessage.str() + key_, 0);
    value_.Reset();
    if (!answer.GetFieldValue(1, value_)) {
        system_.RaiseError(kCannotReadRow.str());
        return false;
    }
    // A repeated key keeps its first place; places count distinct keys, so the window fits them.
    keys.keys.Add(key_, TrimTrailingSpace(value_.GetString().view()));
    return true;
}

bool CRowWindow::LoadRows(const DynamicSettings& settings, OleDb::CCommandProxy& command, const AnswerKeys& keys) {
    static constexpr cp1251::Literal kKeyListMessage{"Получена строка ИД: "};
    static constexpr cp1251::Literal kPlaceholder{"%СписокИД%"};
    static constexpr cp1251::Literal kKeyOutsideList{
        "В полученной выборке обнаружена строка с ключевым полем, отсутствующем в списке ключей, полученных из "
        "опорной таблицы. Проверьте корректность запроса и названий ключевых полей."};

    if (settings.debug) user_.ShowMessage(kKeyListMessage.str() + keys.list, 0);
    CString text{std::string_view(settings.query_text)};
    text.Replace(kPlaceholder.c_str(), keys.list.c_str());
    CProvider::BindParameters(settings.parameters, command);
    LONG reported_count = 0;
    result_ = command.ExecuteStatementExternalDirect(text, reported_count);
    if (!result_.IsValid()) return false;  // the layer has reported the failing statement
    const std::int32_t rows = CountRows(reported_count);
    if (!FindKeyColumn(settings.query_key_field)) return false;

    // The row of the result that carries each key, by the key's place in the QueryRows answer.
    std::vector<std::uint32_t> row_at(keys.keys.Count(), kNoRow);
    CKeyLookup lookup(keys.keys);
    for (std::int32_t j = 0; j < rows; ++j) {
        value_.Reset();
        if (!result_.GetRow(j) || !result_.GetFieldValue(static_cast<int>(*key_column_), value_)) {
            system_.RaiseError(kCannotReadRow.str());
            return false;
        }
        const std::optional<std::uint32_t> place = lookup.Find(value_);
        if (!place) {
            system_.RaiseError(kKeyOutsideList.str());
            return false;
        }
        row_at[*place] = static_cast<std::uint32_t>(j);  // a key carried twice keeps its later row
    }

    for (std::uint32_t place = 0; place < keys.keys.Count(); ++place) {
        if (row_at[place] == kNoRow) continue;  // QueryRows named it, the row query did not return it
        entries_.push_back(
            KeyEntry{row_at[place], std::string(keys.keys.KeyText(place)), std::string(keys.keys.IndexText(place))});
    }
    return true;
}

std::unique_ptr<CDynamicDataRow> CRowWindow::MakeFrontRow(const FieldSetPtr& fields) {
    if (entries_.empty() || !result_.IsValid()) return nullptr;
    // The grid takes a null row for the end of the window, so a row that cannot be read is reported.
    const KeyEntry& entry = entries_.front();
    if (!result_.GetRow(static_cast<LONG>(entry.number))) {
        system_.RaiseError(kCannotReadRow.str());
        return nullptr;
    }
    auto row = std::make_unique<CDynamicDataRow>(entry.index_text, entry.key_text, result_, fields);
    if (!row->IsComplete()) {
        system_.RaiseError(kCannotReadRow.str());
        return nullptr;
    }
    return row;
}

bool CRowWindow::FindKeyColumn(const std::string& key_field) {
    if (!key_column_) key_column_ = CProvider::FindKeyColumn(result_, key_field, system_);
    return key_column_.has_value();
}

std::int32_t CRowWindow::CountRows(LONG reported) {
    constexpr std::int32_t kMaxRows = std::numeric_limits<std::int32_t>::max();
    if (reported > 0) return reported;
    std::int32_t rows = 0;  // not reported: count the rows the result can be positioned on
    while (rows < kMaxRows && result_.GetRow(rows)) ++rows;
    return rows;
}

}  // namespace GridProvider
}  // namespace OleDb
