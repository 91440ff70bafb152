#pragma once
// The host's value list, "СписокЗначений" / "ValueList": values in order, each with a presentation
// (a text shown for it). Positions count from 1. A script reaches it through the host's member
// lookup like any host object; C++ reaches the same operations through the public functions below,
// which raise the host's run-time errors as the script members do (and then change nothing).

#include <cstddef>
#include <string>
#include <vector>

#include "tools/script/bridge/value_holder.h"

namespace script {

class ValueTable;

class ValueList : public ValueHolder {
public:
    struct Item {
        CValue value;
        std::string presentation;  // CP1251; "" when none was given
    };

    ValueList();
    ~ValueList() override;
    CRuntimeClass* GetRuntimeClass() const override;

    // The items, first to last; valid until the list changes.
    const std::vector<Item>& Items() const { return items_; }
    std::size_t Size() const { return items_.size(); }
    // Inserts before position (1..size+1); an empty position appends. Raises when the list is full
    // (collection_limits.h).
    bool Add(const CValue& value, std::string presentation, const CValue& position = CValue());
    // Requires: room for one more (ListFits).
    void Append(const CValue& value, std::string presentation = {});
    void Clear() { items_.clear(); }
    // Sorts by value or by presentation (the value's text where there is none); equal keys keep
    // their order.
    void SortByValue(bool descending);
    void SortByPresentation(bool descending);
    // Moves the item at position (1..size) by offset places (negative: toward the start).
    bool Shift(const CValue& position, const CValue& offset);
    // Position of the first item equal to value, 0 when none.
    std::size_t Find(const CValue& value) const;
    // Fills table with two columns, Значение and Представление, one row per item; raises (and
    // leaves the table as it was) when the table cannot hold them all.
    bool ExportTo(ValueTable& table) const;

    void VisitHeldValues(const std::function<void(const CValue&)>& visit) const override;
    void DropHeldValues() override { items_.clear(); }

    const char* DisplayTypeName() const override;
    int PropertyCount() override { return 0; }
    int LookupProperty(const char*) override { return -1; }
    int MethodCount() override;
    int LookupMethod(const char* name) override;
    const char* MethodNameAt(int index, int language) override;
    int MethodArity(int index) override;
    int MethodDefaultArg(int method, int parameter, CValue* out) override;
    int MethodHasResult(int index) override;
    int InvokeAsProcedure(int index, CValue** args) override;
    int InvokeAsFunction(int index, CValue& result, CValue** args) override;

    static CRuntimeClass classValueList;

private:
    std::vector<Item> items_;
};

}  // namespace script
