#include <string>
#include <vector>

#include "addin/module/module_classes.h"
#include "platform/runtime/module.h"
#include "platform/runtime/script_object.h"
#include "platform/win/host_journal.h"
#include "tests/support/host_fixture.h"

using test_support::Cp;
using test_support::Utf;

namespace {

const char* const kStatic = "Rowlark.Provider.OleDb.VFP.Static";
const char* const kDynamic = "Rowlark.Provider.OleDb.VFP.Dynamic";
const std::string kStaticRu = "Рядовид.Провайдер.OleDb.VFP.Статический";
const std::string kDynamicRu = "Рядовид.Провайдер.OleDb.VFP.Динамический";

class ModuleClassesTest : public test_support::HostTest {
protected:
    int baseline_ = 0;
    void SetUp() override {
        HostTest::SetUp();
        host_journal::Clear();
        baseline_ = CBLContext::RegistrationCount();  // classes of the platform (OLEDBData)
    }
};

TEST_F(ModuleClassesTest, RegistersBothProvidersUnderBothNamesEnglishFirstAndUndoesItNewestFirst) {
    {
        Rowlark::ModuleClasses classes;
        ASSERT_FALSE(classes.Failed()) << classes.Failure();
        EXPECT_EQ((std::vector<std::string>{
                      "RegisterContextClass Rowlark.Provider.OleDb.VFP.Static 100",
                      "RegisterContextClass " + kStaticRu + " 100",
                      "RegisterContextClass Rowlark.Provider.OleDb.VFP.Dynamic 100",
                      "RegisterContextClass " + kDynamicRu + " 100",
                  }),
                  test_support::HostJournal());
        EXPECT_EQ(4, (CBLContext::RegistrationCount() - baseline_));
        host_journal::Clear();
    }
    EXPECT_EQ((std::vector<std::string>{
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Dynamic",
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Dynamic",
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Static",
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Static",
              }),
              test_support::HostJournal());
    EXPECT_EQ(0, (CBLContext::RegistrationCount() - baseline_));
    EXPECT_FALSE(CBLContext::IsRegistered(kStatic));
}

TEST_F(ModuleClassesTest, BothNamesCreateObjectsOfOneClassWithFreshProviders) {
    Rowlark::ModuleClasses classes;
    ScriptObject english = ScriptObject::Create(kStatic);
    ScriptObject russian = ScriptObject::Create(Cp(kStaticRu).c_str());
    ScriptObject lower = ScriptObject::Create("rowlark.provider.oledb.vfp.static");
    ASSERT_TRUE(english.Valid());
    ASSERT_TRUE(russian.Valid());
    ASSERT_TRUE(lower.Valid());
    EXPECT_EQ(english.context()->GetRuntimeClass(), russian.context()->GetRuntimeClass());
    EXPECT_STREQ("CContext_Rowlark.Provider.OleDb.VFP.Static", english.context()->GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(kStaticRu, Utf(english.context()->DisplayTypeName()));

    ASSERT_TRUE(english.Set("QueryText", ScriptObject::Text("SELECT 1")));
    CValue text;
    ASSERT_TRUE(russian.Get(Cp("ТекстЗапроса").c_str(), text));
    EXPECT_STREQ("", text.Format());  // a fresh provider of its own
}

TEST_F(ModuleClassesTest, FieldAndCollectionCannotBeCreatedByName) {
    Rowlark::ModuleClasses classes;
    EXPECT_FALSE(ScriptObject::Create("Rowlark.Provider.OleDb.Field").Valid());
    EXPECT_FALSE(ScriptObject::Create("Rowlark.Provider.OleDb.FieldsCollection").Valid());
    EXPECT_FALSE(ScriptObject::Create(Cp("Рядовид.Провайдер.OleDb.Поле").c_str()).Valid());
}

struct MemberShape {
    int properties;
    int methods;
};

MemberShape Shape(CBLContext* object) { return {object->PropertyCount(), object->MethodCount()}; }

TEST_F(ModuleClassesTest, MemberTablesHaveTheirCountsNamesAndShapes) {
    Rowlark::ModuleClasses classes;
    test_support::TestDatabase db;
    db.Exec("CREATE TABLE t(id INTEGER, name TEXT)");
    ScriptObject provider = ScriptObject::Create(kStatic);
    ScriptObject dynamic = ScriptObject::Create(Cp(kDynamicRu).c_str());
    EXPECT_EQ(2, Shape(provider.context()).properties);
    EXPECT_EQ(4, Shape(provider.context()).methods);
    EXPECT_EQ(8, Shape(dynamic.context()).properties);
    EXPECT_EQ(4, Shape(dynamic.context()).methods);

    provider.Set("QueryText", ScriptObject::Text("SELECT id, name FROM t"));
    provider.Set("KeyField", ScriptObject::Text("id"));
    ASSERT_TRUE(provider.Call("SetConnection", {db.value()}));
    ASSERT_TRUE(provider.Call("GetData"));
    CValue collection_value;
    ASSERT_TRUE(provider.CallFunction(Cp("Поля").c_str(), collection_value));
    ScriptObject collection(collection_value);
    ASSERT_TRUE(collection.Valid());
    EXPECT_EQ(0, Shape(collection.context()).properties);
    EXPECT_EQ(2, Shape(collection.context()).methods);
    EXPECT_EQ("Рядовид.Провайдер.OleDb.КоллекцияПолей", Utf(collection.context()->DisplayTypeName()));
    CValue field_value;
    ASSERT_TRUE(collection.CallFunction("GetAt", field_value, {ScriptObject::Number(2)}));
    ScriptObject field(field_value);
    EXPECT_EQ(1, Shape(field.context()).properties);
    EXPECT_EQ(0, Shape(field.context()).methods);
    CValue name;
    ASSERT_TRUE(field.Get(Cp("Имя").c_str(), name));
    EXPECT_STREQ("name", name.Format());

    // Names read back folded, Russian at language 0 and English at 1, in table order.
    CBLContext* d = dynamic.context();
    const std::vector<std::pair<std::string, std::string>> properties = {
        {"текстзапроса", "querytext"},       {"ключевоеполезапроса", "keyfieldquery"},
        {"ключевоеполеопорнойтаблицы", "keyfieldbasetable"}, {"опорнаятаблица", "basetable"},
        {"режимотладки", "debugmode"},       {"тегиндекса", "indextag"},
        {"фильтрс", "filterfrom"},           {"фильтрпо", "filterto"}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(properties[i].first, Utf(d->PropertyNameAt(i, 0)));
        EXPECT_EQ(properties[i].second, d->PropertyNameAt(i, 1));
        EXPECT_EQ(1, d->CanReadProperty(i));
        EXPECT_EQ(1, d->CanWriteProperty(i));
    }
    const std::vector<std::pair<std::string, std::string>> methods = {
        {"установитьподключение", "setconnection"}, {"получитьданные", "getdata"},
        {"поля", "fields"},                         {"установитьпараметр", "setparameter"}};
    const std::vector<int> arity = {1, 0, 0, 2};
    const std::vector<int> has_result = {0, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(methods[i].first, Utf(d->MethodNameAt(i, 0)));
        EXPECT_EQ(methods[i].second, d->MethodNameAt(i, 1));
        EXPECT_EQ(arity[i], d->MethodArity(i));
        EXPECT_EQ(has_result[i], d->MethodHasResult(i));
        for (int p = 0; p <= arity[i]; ++p) EXPECT_EQ(0, d->MethodDefaultArg(i, p, nullptr));
    }
    EXPECT_EQ(0, field.context()->CanWriteProperty(0));
}

TEST_F(ModuleClassesTest, FailingMemberTableUnregistersTheProviderAndUndoesEverythingBuilt) {
    Rowlark::ModuleClasses::FailMembersOf(kDynamic);
    {
        Rowlark::ModuleClasses classes;
        EXPECT_TRUE(classes.Failed());
        EXPECT_EQ(0, (CBLContext::RegistrationCount() - baseline_));
        EXPECT_FALSE(ScriptObject::Create(kStatic).Valid());
    }
    Rowlark::ModuleClasses again;  // nothing was left half-built: a second start-up succeeds
    EXPECT_FALSE(again.Failed());
    EXPECT_TRUE(ScriptObject::Create(kDynamic).Valid());
}

}  // namespace

namespace {

// Every text property of a provider, written and read back by name as a script does.
std::vector<std::pair<std::string, std::string>> ReadBack(ScriptObject& object,
                                                          const std::vector<std::pair<std::string, std::string>>& sets) {
    std::vector<std::pair<std::string, std::string>> read;
    for (const auto& [name, text] : sets) EXPECT_TRUE(object.Set(Cp(name), ScriptObject::Text(Cp(text)))) << name;
    for (const auto& [name, text] : sets) {
        CValue value;
        EXPECT_TRUE(object.Get(Cp(name), value)) << name;
        read.emplace_back(name, Utf(value.Format()));
    }
    return read;
}

TEST_F(ModuleClassesTest, ProviderPropertiesReadBackAsCopiesThatOutliveTheNextWrite) {
    Rowlark::ModuleClasses classes;
    ScriptObject fixed = ScriptObject::Create(kStatic);
    EXPECT_EQ(ReadBack(fixed, {{"ТекстЗапроса", "SELECT * FROM Т"}, {"KeyField", "КодТовара"}}),
              (std::vector<std::pair<std::string, std::string>>{{"ТекстЗапроса", "SELECT * FROM Т"},
                                                                {"KeyField", "кодтовара"}}));

    ScriptObject dynamic = ScriptObject::Create(kDynamic);
    EXPECT_EQ(ReadBack(dynamic, {{"QueryText", "SELECT id FROM t WHERE id IN (%СписокИД%)"},
                                 {"KeyFieldQuery", "ИД"},
                                 {"КлючевоеПолеОпорнойТаблицы", "ID"},
                                 {"BaseTable", "items"},
                                 {"IndexTag", "Name"},
                                 {"ФильтрС", "А"},
                                 {"FilterTo", "O'B"}}),
              (std::vector<std::pair<std::string, std::string>>{
                  {"QueryText", "SELECT id FROM t WHERE id IN (%СписокИД%)"},
                  {"KeyFieldQuery", "ид"},
                  {"КлючевоеПолеОпорнойТаблицы", "ID"},
                  {"BaseTable", "items"},
                  {"IndexTag", "Name"},
                  {"ФильтрС", "А"},
                  {"FilterTo", "O'B"}}));
    EXPECT_TRUE(test_support::RaisedErrors().empty());

    // A text read from a property is the script's own: writing the property again leaves it alone.
    CValue before;
    ASSERT_TRUE(dynamic.Get("FilterTo", before));
    ASSERT_TRUE(dynamic.Set("FilterTo", ScriptObject::Text("Z")));
    EXPECT_STREQ(before.Format(), "O'B");
    ASSERT_TRUE(fixed.Get("QueryText", before));
    ASSERT_TRUE(fixed.Set("QueryText", ScriptObject::Text("")));
    EXPECT_EQ(Utf(before.Format()), "SELECT * FROM Т");
}

}  // namespace
