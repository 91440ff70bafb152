#pragma once
// Small native classes of the tests' own, their member tables (built like the module's), and a
// fixture that builds the records before each test and releases them after it.

#include <stdexcept>
#include <string>

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>
#include <gtest/gtest.h>

#include "addin/context/binding.h"
#include "addin/context/class_records.h"
#include "addin/context/context.h"
#include "addin/host/oledb.h"
#include "addin/host/platform.h"
#include "platform/text/cp1251.h"

namespace context_test {

using namespace Utils1s::Context;

// Like a field: one read-only text property.
struct Item {
    std::string name;
    const std::string& GetName() const { return name; }
};

// Like a fields collection, with a few more members to reach every conversion.
struct List {
    std::vector<boost::shared_ptr<Item>> items;
    unsigned count_override = 0;
    int count_calls = 0;
    unsigned last_index = 0;
    std::string last_text;
    const CValue* last_value = nullptr;
    COLEDBData* connection = nullptr;

    unsigned Count() {
        ++count_calls;
        return count_override != 0 ? count_override : static_cast<unsigned>(items.size());
    }
    boost::shared_ptr<Item> GetAt(unsigned index) {
        last_index = index;
        return index < items.size() ? items[index] : boost::shared_ptr<Item>();
    }
    std::string Echo(const std::string& text) {
        last_text = text;
        return text;
    }
    void Put(const std::string& name, const CValue& value) {
        last_text = name;
        last_value = &value;
    }
    void SetConnection(COLEDBData* data) { connection = data; }
    void Fail() { throw std::runtime_error("member failed"); }
};

// Like a provider: a base with a shared member, and the grid interfaces.
struct ProviderBase {
    std::string label = "base";
    std::string Label() { return label; }
};

struct Provider : ProviderBase, CDataProvider, CV7DataProvider {
    std::string text;
    bool flag = false;
    COLEDBData* connection = nullptr;

    std::string GetText() const { return text; }
    void SetText(const std::string& value) { text = value; }
    bool GetFlag() const { return flag; }
    void SetFlag(bool value) { flag = value; }
    bool HasConnection() const { return connection != nullptr; }
    void SetConnection(COLEDBData* data) { connection = data; }
    const std::string& ThrowingGetter() const { throw std::runtime_error("getter failed"); }

    void PrepareRows(const ::CDataRow*, int, int) override {}
    ::CDataRow* NextRow() override { return nullptr; }
    BOOL RefreshRow(::CDataRow*) override { return FALSE; }
    BOOL IsSameRow(const ::CDataRow*, const ::CDataRow*) override { return FALSE; }
    CV7DataRow* GetV7Row(::CDataRow*) override { return nullptr; }
};

inline constexpr cp1251::Literal kItemType{"Тест.Элемент"};
inline constexpr cp1251::Literal kListType{"Тест.Список"};
inline constexpr cp1251::Literal kProviderType{"Тест.Поставщик"};

// Builds the three classes' records as the module's start-up does, Russian names first.
inline void CreateRecords() {
    static constexpr cp1251::Literal kName{"Имя"};
    static constexpr cp1251::Literal kCount{"Количество"};
    static constexpr cp1251::Literal kGetAt{"Получить"};
    static constexpr cp1251::Literal kEcho{"Эхо"};
    static constexpr cp1251::Literal kPut{"Положить"};
    static constexpr cp1251::Literal kConnect{"УстановитьПодключение"};
    static constexpr cp1251::Literal kFail{"Сбой"};
    static constexpr cp1251::Literal kText{"Текст"};
    static constexpr cp1251::Literal kTree{"Ёлка"};
    static constexpr cp1251::Literal kConnection{"Подключение"};
    static constexpr cp1251::Literal kThrowing{"Бросает"};
    static constexpr cp1251::Literal kLabel{"Метка"};

    MemberRegistry& item = ClassRecords<Item>::CreateRegistry(kItemType.c_str());
    item.AddProperty(kName.c_str(), "Name", Property<Item>(&Item::GetName));
    ClassRecords<Item>::CreateClassName("Test.Item");

    MemberRegistry& list = ClassRecords<List>::CreateRegistry(kListType.c_str());
    list.AddMethod(kCount.c_str(), "Count", Method<List>(&List::Count));
    list.AddMethod(kGetAt.c_str(), "GetAt", Method<List>(&List::GetAt));
    list.AddMethod(kEcho.c_str(), "Echo", Method<List>(&List::Echo));
    list.AddMethod(kPut.c_str(), "Put", Method<List>(&List::Put));
    list.AddMethod(kConnect.c_str(), "SetConnection", Method<List>(&List::SetConnection));
    list.AddMethod(kFail.c_str(), "Fail", Method<List>(&List::Fail));
    ClassRecords<List>::CreateClassName("Test.List");

    MemberRegistry& provider = ClassRecords<Provider>::CreateRegistry(kProviderType.c_str());
    provider.AddProperty(kText.c_str(), "Text", Property<Provider>(&Provider::GetText, &Provider::SetText));
    provider.AddProperty(kTree.c_str(), "Flag", Property<Provider>(&Provider::GetFlag, &Provider::SetFlag));
    provider.AddProperty(kConnection.c_str(), "Connection",
                         Property<Provider>(&Provider::HasConnection, &Provider::SetConnection));
    provider.AddProperty(kThrowing.c_str(), "Throwing", Property<Provider>(&Provider::ThrowingGetter));
    provider.AddMethod(kLabel.c_str(), "Label", Method<Provider>(&ProviderBase::Label));
    ClassRecords<Provider>::CreateClassName("Test.Provider");
}

inline void ReleaseRecords() {
    ClassRecords<Provider>::ReleaseRegistry();
    ClassRecords<Provider>::ReleaseClassName();
    ClassRecords<List>::ReleaseRegistry();
    ClassRecords<List>::ReleaseClassName();
    ClassRecords<Item>::ReleaseRegistry();
    ClassRecords<Item>::ReleaseClassName();
}

// Fresh records and a quiet host for every test.
class ContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateRecords();
        ResetHost();
    }
    void TearDown() override {
        ResetHost();
        ReleaseRecords();
    }
    static void ResetHost() {
        host_errors::SetRaiseThrows(false);
        host_errors::Clear();
    }
    static std::string Cp(const char* text) { return cp1251::FromUtf8(text); }
};

// A value holding a text with every byte kept, NULs included.
inline CValue TextValue(const std::string& bytes) {
    CValue value;
    value = "";
    value.m_String = CString(bytes.data(), static_cast<int>(bytes.size()));
    return value;
}

inline CValue NumberValue(long number) {
    CValue value;
    value = number;
    return value;
}

}  // namespace context_test
