#include "tools/script/objects/value_list.h"

#include <algorithm>
#include <string>

#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/language/date_value.h"
#include "tools/script/objects/collection_args.h"
#include "tools/script/objects/collection_errors.h"
#include "tools/script/objects/collection_limits.h"
#include "tools/script/objects/member_table.h"
#include "tools/script/objects/value_order.h"
#include "tools/script/objects/value_table.h"

namespace script {

namespace {

enum Method { kAdd, kSet, kGet, kSize, kFind, kRemove, kRemoveAll, kSortByValue, kSortByPresentation, kBelongs,
              kExport, kShift };

const MemberTable& Methods() {
    static const MemberTable table({
        {RU("ДобавитьЗначение"), "AddValue", 3, false, 1},
        {RU("УстановитьЗначение"), "SetValue", 3, false, 2},
        {RU("ПолучитьЗначение"), "GetValue", 2, true, 1},
        {RU("РазмерСписка"), "GetListSize", 0, true, 0},
        {RU("НайтиЗначение"), "FindValue", 1, true, 1},
        {RU("УдалитьЗначение"), "RemoveValue", 1, false, 1},
        {RU("УдалитьВсе"), "RemoveAll", 0, false, 0},
        {RU("СортироватьПоЗначению"), "SortByValue", 1, false, 0},
        {RU("СортироватьПоПредставлению"), "SortByPresent", 1, false, 0},
        {RU("Принадлежит"), "Belongs", 1, true, 1},
        {RU("ВыгрузитьВТаблицу"), "UnloadToTable", 1, false, 1},
        {RU("Сдвинуть"), "Move", 2, false, 2},
    });
    return table;
}

std::string_view MethodName(int index) { return Methods().NameAt(index, 0); }

std::string PlainText(const CValue& value) { return std::string(value.GetString().view()); }

// The text an item is shown by: its presentation, or its value as the language shows it.
std::string Shown(const ValueList::Item& item) {
    return item.presentation.empty() ? TextOf(item.value) : item.presentation;
}

CObject* CreateValueList() { return new ValueList(); }

}  // namespace

CRuntimeClass ValueList::classValueList = {"CValueListObject", sizeof(ValueList), 0xFFFF, CreateValueList,
                                           &CBLContext::classCBLContext};

ValueList::ValueList() = default;
ValueList::~ValueList() = default;
CRuntimeClass* ValueList::GetRuntimeClass() const { return &classValueList; }
const char* ValueList::DisplayTypeName() const { return RU("СписокЗначений").data(); }

bool ValueList::Add(const CValue& value, std::string presentation, const CValue& position) {
    std::size_t at = items_.size();
    if (position.GetKind() != CValue::Kind::Empty) {
        const auto index = IndexArg(position, items_.size() + 1, collection_errors::PositionOutOfRange,
                                    MethodName(kAdd));
        if (!index) return false;
        at = *index;
    }
    if (!ListFits(items_.size() + 1)) {
        collection_errors::TooManyListItems(std::to_string(items_.size() + 1));
        return false;
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), Item{value, std::move(presentation)});
    return true;
}

void ValueList::Append(const CValue& value, std::string presentation) {
    items_.push_back(Item{value, std::move(presentation)});
}

void ValueList::SortByValue(bool descending) {
    std::stable_sort(items_.begin(), items_.end(), [descending](const Item& a, const Item& b) {
        const int order = CompareValues(a.value, b.value);
        return descending ? order > 0 : order < 0;
    });
}

void ValueList::SortByPresentation(bool descending) {
    std::vector<std::pair<std::string, Item>> keyed;
    keyed.reserve(items_.size());
    for (Item& item : items_) keyed.emplace_back(Shown(item), std::move(item));
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        return descending ? b.first < a.first : a.first < b.first;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) items_[i] = std::move(keyed[i].second);
}

bool ValueList::Shift(const CValue& position, const CValue& offset) {
    const auto from = IndexArg(position, items_.size(), collection_errors::PositionOutOfRange, MethodName(kShift));
    if (!from) return false;
    if (offset.GetKind() != CValue::Kind::Number) {
        collection_errors::WrongArgument(MethodName(kShift));
        return false;
    }
    const std::int64_t by = offset.GetNumeric().ToInt64();
    const std::int64_t to = static_cast<std::int64_t>(*from) + by;
    if (by < -static_cast<std::int64_t>(items_.size()) || to < 0 || to >= static_cast<std::int64_t>(items_.size())) {
        collection_errors::ShiftOutOfRange();
        return false;
    }
    const auto at = [this](std::int64_t i) { return items_.begin() + static_cast<std::ptrdiff_t>(i); };
    const auto source = static_cast<std::int64_t>(*from);
    if (to < source)
        std::rotate(at(to), at(source), at(source + 1));
    else
        std::rotate(at(source), at(source + 1), at(to + 1));
    return true;
}

std::size_t ValueList::Find(const CValue& value) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (SameValues(items_[i].value, value)) return i + 1;
    return 0;
}

bool ValueList::ExportTo(ValueTable& table) const {
    if (!TableFits(items_.size(), 2)) {
        collection_errors::TooManyRows(std::to_string(items_.size()));
        return false;
    }
    table.Reset();
    table.AddColumn(RU("Значение"));
    table.AddColumn(RU("Представление"));
    for (const Item& item : items_) {
        table.AppendRow({item.value, TextValue(item.presentation)});
    }
    return true;
}

void ValueList::VisitHeldValues(const std::function<void(const CValue&)>& visit) const {
    for (const Item& item : items_) visit(item.value);
}

int ValueList::MethodCount() { return Methods().Count(); }
int ValueList::LookupMethod(const char* name) { return Methods().Lookup(name); }
const char* ValueList::MethodNameAt(int index, int language) { return Methods().NameAt(index, language); }
int ValueList::MethodArity(int index) { return Methods().Arity(index); }
int ValueList::MethodHasResult(int index) { return Methods().HasResult(index) ? 1 : 0; }
int ValueList::MethodDefaultArg(int method, int parameter, CValue* out) {
    if (!Methods().HasDefault(method, parameter)) return 0;
    if (out) out->Reset();
    return 1;
}

int ValueList::InvokeAsProcedure(int index, CValue** args) {
    CValue ignored;
    return InvokeAsFunction(index, ignored, args);
}

// Where the arguments are: args[i] for the i-th, each present (left out: the default, empty).
int ValueList::InvokeAsFunction(int index, CValue& result, CValue** args) {
    if (!Methods().Has(index)) return 0;
    const CValue& first = ArgAt(args, 0);
    const std::string_view name = MethodName(index);
    result.Reset();
    switch (index) {
        case kAdd: Add(first, PlainText(ArgAt(args, 1)), ArgAt(args, 2)); break;
        case kSet:
        case kGet: {
            const auto at = IndexArg(first, items_.size(), collection_errors::PositionOutOfRange, name);
            if (!at) break;
            Item& item = items_[*at];
            if (index == kGet) {
                result = item.value;
                if (CValue* out = ArgSlot(args, 1)) *out = TextValue(item.presentation);
                break;
            }
            item.value = ArgAt(args, 1);
            if (IsGiven(args, 2)) item.presentation = PlainText(ArgAt(args, 2));
            break;
        }
        case kSize: result = static_cast<long>(items_.size()); break;
        case kFind: result = static_cast<long>(Find(first)); break;
        case kBelongs: result = Find(first) != 0 ? 1L : 0L; break;
        case kRemove: {
            const auto at = IndexArg(first, items_.size(), collection_errors::PositionOutOfRange, name);
            if (at) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*at));
            break;
        }
        case kRemoveAll: items_.clear(); break;
        case kSortByValue:
        case kSortByPresentation: {
            const auto descending = DescendingArg(first);
            if (descending && index == kSortByValue) SortByValue(*descending);
            if (descending && index == kSortByPresentation) SortByPresentation(*descending);
            break;
        }
        case kExport: {
            auto* table = dynamic_cast<ValueTable*>(first.GetContext());
            if (table == nullptr)
                collection_errors::WrongArgument(name);
            else
                ExportTo(*table);
            break;
        }
        case kShift: Shift(first, ArgAt(args, 1)); break;
    }
    return 1;
}

}  // namespace script
