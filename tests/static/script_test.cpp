// The static provider as host scripts see it: created by class name, configured through its
// properties and methods, its fields listed, and handed to a grid through its interfaces.
// Every script call checks what the host's operation answered (1: done).

#include <boost/shared_ptr.hpp>

#include "addin/grid/interface_source.h"
#include "addin/module/module_classes.h"
#include "platform/runtime/script_object.h"
#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

class StaticProviderScript : public StaticProviderTest {
protected:
    void TearDown() override {
        provider_ = ScriptObject();  // script objects go before the classes that describe them
        StaticProviderTest::TearDown();
    }
    // Creates the provider by its class name into provider_.
    ScriptObject& Create(const std::string& utf8_name) {
        provider_ = ScriptObject::Create(Cp(utf8_name).c_str());
        EXPECT_TRUE(provider_.Valid()) << utf8_name;
        return provider_;
    }
    // The value of a call that must have succeeded (empty for a procedure).
    static CValue Result(const ScriptObject::Reply& reply) {
        EXPECT_EQ(1, reply.code) << "method number " << reply.index;
        return reply.value;
    }

    Rowlark::ModuleClasses classes_;  // made first, gone last
    ScriptObject provider_;
};

TEST_F(StaticProviderScript, CreatedByEitherNameAndOffersBothGridInterfaces) {
    ASSERT_FALSE(classes_.Failed()) << classes_.Failure();
    for (const char* name : {"Рядовид.Провайдер.OleDb.VFP.Статический", "Rowlark.Provider.OleDb.VFP.Static"}) {
        ScriptObject& object = Create(name);
        ASSERT_TRUE(object.Valid()) << name;
        const auto data = GetGridInterface<CDataProvider>(object.context());
        const auto v7 = GetGridInterface<CV7DataProvider>(object.context());
        ASSERT_TRUE(data && v7) << name;
        EXPECT_EQ(1, data->ReservedQuery2(0));
        EXPECT_EQ(nullptr, data->m_hWnd);
        int count = 0;
        EXPECT_FALSE(data->GetRowCount(count));
    }
}

TEST_F(StaticProviderScript, RussianMembersConfigureLoadAndListTheFields) {
    ScriptObject& object = Create("Рядовид.Провайдер.OleDb.VFP.Статический");
    ASSERT_TRUE(object.Valid());
    EXPECT_EQ(1, object.Write(Cp("ТекстЗапроса"), Text("SELECT id, name FROM goods ORDER BY id")).code);
    EXPECT_EQ(1, object.Write(Cp("КлючевоеПоле"), Text("ID")).code);
    const ScriptObject::Reply key_field = object.Read(Cp("КлючевоеПоле"));
    EXPECT_EQ(1, key_field.code);
    EXPECT_EQ("id", Utf(key_field.value.Format()));
    EXPECT_EQ(1, object.Invoke(Cp("УстановитьПодключение"), {db_->value()}).code);
    EXPECT_EQ(1, object.Invoke(Cp("ПолучитьДанные")).code);
    EXPECT_TRUE(Errors().empty());

    const auto data = GetGridInterface<CDataProvider>(object.context());
    ASSERT_TRUE(data);
    int count = 0;
    ASSERT_TRUE(data->GetRowCount(count));
    EXPECT_EQ(10, count);

    ScriptObject collection(Result(object.Invoke(Cp("Поля"))));
    ASSERT_TRUE(collection.Valid());
    EXPECT_EQ(2L, static_cast<long>(Result(collection.Invoke(Cp("Количество"))).GetNumeric()));
    ScriptObject first(Result(collection.Invoke(Cp("Получить"), {Number(1)})));
    ScriptObject second(Result(collection.Invoke(Cp("Получить"), {Number(2)})));
    ASSERT_TRUE(first.Valid());
    ASSERT_TRUE(second.Valid());
    const ScriptObject::Reply first_name = first.Read(Cp("Имя"));
    const ScriptObject::Reply second_name = second.Read(Cp("Имя"));
    EXPECT_EQ(1, first_name.code);
    EXPECT_EQ(1, second_name.code);
    EXPECT_STREQ("id", first_name.value.Format());
    EXPECT_STREQ("name", second_name.value.Format());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderScript, EnglishMembersAndParametersReachTheLoad) {
    ScriptObject& object = Create("Rowlark.Provider.OleDb.VFP.Static");
    ASSERT_TRUE(object.Valid());
    EXPECT_EQ(1, object.Write("QueryText", Text("SELECT id, name FROM goods WHERE id < :top ORDER BY id")).code);
    EXPECT_EQ(1, object.Write("KeyField", Text("id")).code);
    EXPECT_EQ(1, object.Invoke("SetParameter", {Text("top"), Number(104)}).code);
    EXPECT_EQ(1, object.Invoke("SetConnection", {db_->value()}).code);
    EXPECT_EQ(1, object.Invoke("GetData").code);
    EXPECT_TRUE(Errors().empty());
    const auto v7 = GetGridInterface<CV7DataProvider>(object.context());
    ASSERT_TRUE(v7);
    EXPECT_TRUE(RowPtr(v7->FindRowByKey(Number(103))));
    EXPECT_FALSE(RowPtr(v7->FindRowByKey(Number(104))));
    ScriptObject fields(Result(object.Invoke("Fields")));
    EXPECT_EQ(2L, static_cast<long>(Result(fields.Invoke("Count")).GetNumeric()));
    int count = 0;
    ASSERT_TRUE(GetGridInterface<CDataProvider>(object.context())->GetRowCount(count));
    EXPECT_EQ(4, count);
}

TEST_F(StaticProviderScript, SetConnectionWithANumberRaisesTheArgumentTypeError) {
    ScriptObject& object = Create("Рядовид.Провайдер.OleDb.VFP.Статический");
    ASSERT_TRUE(object.Valid());
    EXPECT_EQ(1, object.Invoke(Cp("УстановитьПодключение"), {Number(5)}).code);
    EXPECT_EQ(std::vector<std::string>({"Неверный тип аргумента (Ожидается объект типа OLEDBData)"}), Errors());

    host_errors::Clear();
    EXPECT_EQ(1, object.Write(Cp("ТекстЗапроса"), Text("SELECT id FROM goods")).code);
    EXPECT_EQ(1, object.Write(Cp("КлючевоеПоле"), Text("id")).code);
    EXPECT_EQ(1, object.Invoke(Cp("ПолучитьДанные")).code);
    EXPECT_EQ(std::vector<std::string>({"Не установлено подключение OLE DB (метод УстановитьПодключение/SetConnection)"}),
              Errors());
}

TEST_F(StaticProviderScript, GridInterfacesKeepTheProviderAfterTheScriptLetsGo) {
    ScriptObject& object = Create("Rowlark.Provider.OleDb.VFP.Static");
    ASSERT_TRUE(object.Valid());
    EXPECT_EQ(1, object.Write("QueryText", Text("SELECT id, name FROM goods ORDER BY id")).code);
    EXPECT_EQ(1, object.Write("KeyField", Text("id")).code);
    EXPECT_EQ(1, object.Invoke("SetConnection", {db_->value()}).code);
    EXPECT_EQ(1, object.Invoke("GetData").code);
    const auto data = GetGridInterface<CDataProvider>(object.context());
    ASSERT_TRUE(data);
    provider_ = ScriptObject();
    data->PrepareRows(nullptr, -1, 0);
    RowPtr row(data->NextRow());
    ASSERT_TRUE(row);
    EXPECT_EQ(9, row->GetRowId());
}

TEST_F(StaticProviderScript, GridInterfaceKindsAreTheFixedNumbersOneAndTwo) {
    ScriptObject& object = Create("Rowlark.Provider.OleDb.VFP.Static");
    ASSERT_TRUE(object.Valid());
    auto* source = dynamic_cast<Utils1s::Context::CContextBase*>(object.context());
    ASSERT_NE(nullptr, source);
    boost::shared_ptr<void> data, v7;
    ASSERT_TRUE(source->GetInterface(1, data));
    ASSERT_TRUE(source->GetInterface(2, v7));
    EXPECT_EQ(data.get(), static_cast<void*>(GetGridInterface<CDataProvider>(object.context()).get()));
    EXPECT_EQ(v7.get(), static_cast<void*>(GetGridInterface<CV7DataProvider>(object.context()).get()));
    boost::shared_ptr<void> untouched;
    EXPECT_FALSE(source->GetInterface(3, untouched));
    EXPECT_FALSE(untouched);
}

TEST_F(StaticProviderScript, ObjectsThatAreNotProvidersOfferNoGridInterface) {
    ScriptObject& object = Create("Rowlark.Provider.OleDb.VFP.Static");
    ASSERT_TRUE(object.Valid());
    const ScriptObject fields(Result(object.Invoke("Fields")));
    ASSERT_TRUE(fields.Valid());
    EXPECT_FALSE(GetGridInterface<CDataProvider>(fields.context()));
    EXPECT_FALSE(GetGridInterface<CV7DataProvider>(fields.context()));
    EXPECT_FALSE(GetGridInterface<CDataProvider>(db_->value().GetContext()));  // not the module's object
    EXPECT_FALSE(GetGridInterface<CDataProvider>(nullptr));
}

}  // namespace
}  // namespace static_test
