// The static provider as host scripts see it: created by class name, configured through its
// properties and methods, its fields listed, and handed to a grid through its interfaces.

#include <boost/shared_ptr.hpp>

#include "addin/context/context_base.h"
#include "addin/module/module_classes.h"
#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

using Utils1s::Context::CContextBase;

class StaticProviderScript : public StaticProviderTest {
protected:
    void TearDown() override {
        provider_value_.Reset();  // script objects go before the classes that describe them
        StaticProviderTest::TearDown();
    }
    // Creates the provider by its class name into provider_value_.
    CBLContext* Create(const std::string& utf8_name) {
        EXPECT_TRUE(CBLContext::CreateByName(Cp(utf8_name).c_str(), provider_value_)) << utf8_name;
        return provider_value_.GetContext();
    }
    static void Write(CBLContext* object, const std::string& utf8_property, const CValue& value) {
        const int index = object->LookupProperty(Cp(utf8_property).c_str());
        ASSERT_GE(index, 0) << utf8_property;
        EXPECT_EQ(1, object->WriteProperty(index, value));
    }
    static CValue Read(CBLContext* object, const std::string& utf8_property) {
        CValue out;
        const int index = object->LookupProperty(Cp(utf8_property).c_str());
        EXPECT_GE(index, 0) << utf8_property;
        EXPECT_EQ(1, object->ReadProperty(index, out));
        return out;
    }
    // Calls a method with the given arguments and returns its value (empty for a procedure).
    static CValue Call(CBLContext* object, const std::string& utf8_method, std::vector<CValue> args = {}) {
        const int index = object->LookupMethod(Cp(utf8_method).c_str());
        EXPECT_GE(index, 0) << utf8_method;
        std::vector<CValue*> pointers;
        for (auto& arg : args) pointers.push_back(&arg);
        pointers.push_back(nullptr);
        CValue result;
        if (object->MethodHasResult(index))
            EXPECT_EQ(1, object->InvokeAsFunction(index, result, pointers.data()));
        else
            EXPECT_EQ(1, object->InvokeAsProcedure(index, pointers.data()));
        return result;
    }
    template <class Interface>
    static boost::shared_ptr<Interface> Get(CBLContext* object, int kind) {
        auto* base = dynamic_cast<CContextBase*>(object);
        boost::shared_ptr<void> out;
        if (base == nullptr || !base->GetInterface(kind, out)) return boost::shared_ptr<Interface>();
        return boost::static_pointer_cast<Interface>(out);
    }

    Rowlark::ModuleClasses classes_;  // made first, gone last
    CValue provider_value_;
};

TEST_F(StaticProviderScript, CreatedByEitherNameAndOffersBothGridInterfaces) {
    ASSERT_FALSE(classes_.Failed()) << classes_.Failure();
    for (const char* name : {"Рядовид.Провайдер.OleDb.VFP.Статический", "Rowlark.Provider.OleDb.VFP.Static"}) {
        CBLContext* object = Create(name);
        ASSERT_NE(nullptr, object) << name;
        const auto data = Get<CDataProvider>(object, 1);
        const auto v7 = Get<CV7DataProvider>(object, 2);
        ASSERT_TRUE(data && v7) << name;
        EXPECT_EQ(1, data->ReservedQuery2(0));
        EXPECT_EQ(nullptr, data->m_hWnd);
        int count = 0;
        EXPECT_FALSE(data->GetRowCount(count));
    }
}

TEST_F(StaticProviderScript, RussianMembersConfigureLoadAndListTheFields) {
    CBLContext* object = Create("Рядовид.Провайдер.OleDb.VFP.Статический");
    ASSERT_NE(nullptr, object);
    Write(object, "ТекстЗапроса", Text("SELECT id, name FROM goods ORDER BY id"));
    Write(object, "КлючевоеПоле", Text("ID"));
    EXPECT_EQ("id", Utf(Read(object, "КлючевоеПоле").Format()));
    Call(object, "УстановитьПодключение", {db_->value()});
    Call(object, "ПолучитьДанные");
    EXPECT_TRUE(Errors().empty());

    const auto data = Get<CDataProvider>(object, 1);
    ASSERT_TRUE(data);
    int count = 0;
    ASSERT_TRUE(data->GetRowCount(count));
    EXPECT_EQ(10, count);

    CValue fields = Call(object, "Поля");
    CBLContext* collection = fields.GetContext();
    ASSERT_NE(nullptr, collection);
    EXPECT_EQ(2L, static_cast<long>(Call(collection, "Количество").GetNumeric()));
    CValue first = Call(collection, "Получить", {Number(1)});
    CValue second = Call(collection, "Получить", {Number(2)});
    ASSERT_NE(nullptr, first.GetContext());
    ASSERT_NE(nullptr, second.GetContext());
    EXPECT_STREQ("id", Read(first.GetContext(), "Имя").Format());
    EXPECT_STREQ("name", Read(second.GetContext(), "Имя").Format());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderScript, EnglishMembersAndParametersReachTheLoad) {
    CBLContext* object = Create("Rowlark.Provider.OleDb.VFP.Static");
    ASSERT_NE(nullptr, object);
    Write(object, "QueryText", Text("SELECT id, name FROM goods WHERE id < :top ORDER BY id"));
    Write(object, "KeyField", Text("id"));
    Call(object, "SetParameter", {Text("top"), Number(104)});
    Call(object, "SetConnection", {db_->value()});
    Call(object, "GetData");
    EXPECT_TRUE(Errors().empty());
    const auto v7 = Get<CV7DataProvider>(object, 2);
    ASSERT_TRUE(v7);
    EXPECT_TRUE(RowPtr(v7->FindRowByKey(Number(103))));
    EXPECT_FALSE(RowPtr(v7->FindRowByKey(Number(104))));
    EXPECT_EQ(2L, static_cast<long>(Call(Call(object, "Fields").GetContext(), "Count").GetNumeric()));
    int count = 0;
    ASSERT_TRUE(Get<CDataProvider>(object, 1)->GetRowCount(count));
    EXPECT_EQ(4, count);
}

TEST_F(StaticProviderScript, SetConnectionWithANumberRaisesTheArgumentTypeError) {
    CBLContext* object = Create("Рядовид.Провайдер.OleDb.VFP.Статический");
    ASSERT_NE(nullptr, object);
    Call(object, "УстановитьПодключение", {Number(5)});
    EXPECT_EQ(std::vector<std::string>({"Неверный тип аргумента (Ожидается объект типа OLEDBData)"}), Errors());

    host_errors::Clear();
    Write(object, "ТекстЗапроса", Text("SELECT id FROM goods"));
    Write(object, "КлючевоеПоле", Text("id"));
    Call(object, "ПолучитьДанные");
    EXPECT_EQ(std::vector<std::string>({"Не установлено подключение OLE DB (метод УстановитьПодключение/SetConnection)"}),
              Errors());
}

TEST_F(StaticProviderScript, GridInterfacesKeepTheProviderAfterTheScriptLetsGo) {
    CBLContext* object = Create("Rowlark.Provider.OleDb.VFP.Static");
    ASSERT_NE(nullptr, object);
    Write(object, "QueryText", Text("SELECT id, name FROM goods ORDER BY id"));
    Write(object, "KeyField", Text("id"));
    Call(object, "SetConnection", {db_->value()});
    Call(object, "GetData");
    const auto data = Get<CDataProvider>(object, 1);
    ASSERT_TRUE(data);
    provider_value_.Reset();
    data->PrepareRows(nullptr, -1, 0);
    RowPtr row(data->NextRow());
    ASSERT_TRUE(row);
    EXPECT_EQ(9, row->GetRowId());
}

}  // namespace
}  // namespace static_test
