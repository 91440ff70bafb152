// What a host script writes to load the static provider with parameters and aliased key columns,
// through the provider's script members by their Russian names: parameters bound in any letter
// case or by number, the layer's refusal of a parameter without a value (or a value without its
// parameter) as the host's run-time error with nothing loaded, and key fields naming aliases.

#include <initializer_list>
#include <optional>
#include <utility>

#include "addin/grid/interface_source.h"
#include "addin/module/module_classes.h"
#include "platform/runtime/script_object.h"
#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

using E = std::vector<std::string>;

class StaticProviderScriptQuery : public StaticProviderTest {
protected:
    void TearDown() override {
        script_ = ScriptObject();  // script objects go before the classes that describe them
        StaticProviderTest::TearDown();
    }
    // A new provider made by its Russian class name, loaded as a script would load it: query text,
    // key field, parameters (name, value), connection, then "ПолучитьДанные".
    void ScriptLoad(const std::string& query, const std::string& key,
                    std::initializer_list<std::pair<CValue, CValue>> parameters = {}) {
        script_ = ScriptObject::Create(Cp("Рядовид.Провайдер.OleDb.VFP.Статический").c_str());
        ASSERT_TRUE(script_.Valid());
        EXPECT_EQ(1, script_.Write(Cp("ТекстЗапроса"), Text(query)).code);
        EXPECT_EQ(1, script_.Write(Cp("КлючевоеПоле"), Text(key)).code);
        for (const auto& [name, value] : parameters)
            EXPECT_EQ(1, script_.Invoke(Cp("УстановитьПараметр"), {name, value}).code);
        EXPECT_EQ(1, script_.Invoke(Cp("УстановитьПодключение"), {db_->value()}).code);
        EXPECT_EQ(1, script_.Invoke(Cp("ПолучитьДанные")).code);
    }
    // The loaded row count; none before a load.
    std::optional<int> ScriptRowCount() {
        int count = 0;
        if (!GetGridInterface<CDataProvider>(script_.context())->GetRowCount(count)) return std::nullopt;
        return count;
    }
    // The name of the field numbered from 1, as a script reads it.
    std::string FieldName(long number) {
        ScriptObject fields(script_.Invoke(Cp("Поля")).value);
        ScriptObject field(fields.Invoke(Cp("Получить"), {Number(number)}).value);
        return Utf(std::string(field.Read(Cp("Имя")).value.Format()));
    }
    bool HasKey(long key) {
        return RowPtr(GetGridInterface<CV7DataProvider>(script_.context())->FindRowByKey(Number(key))) != nullptr;
    }

    Rowlark::ModuleClasses classes_;  // made first, gone last
    ScriptObject script_;
};

TEST_F(StaticProviderScriptQuery, ParameterSetInCapitalsBindsTheNameInSmallLetters) {
    ScriptLoad("SELECT id, name FROM goods WHERE id < :top ORDER BY id", "id", {{Text("TOP"), Number(104)}});
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(ScriptRowCount(), 4);
    EXPECT_TRUE(HasKey(103));
    EXPECT_FALSE(HasKey(104));
}

TEST_F(StaticProviderScriptQuery, MarksTakeTheParametersSetByNumber) {
    ScriptLoad("SELECT id, name FROM goods WHERE id > ? AND id < ? ORDER BY id", "id",
               {{Number(1), Number(101)}, {Number(2), Number(104)}});
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(ScriptRowCount(), 2);
    EXPECT_TRUE(HasKey(102));
}

// A statement the layer refuses leaves the load without rows, and its result without the key
// column, which the provider then names as after any failed statement.
const char* const kNoKeyColumn = "В полученном наборе данных отсутствует ключевое поле (id)";

TEST_F(StaticProviderScriptQuery, ParameterWithoutAValueIsAHostErrorAndNothingLoads) {
    ScriptLoad("SELECT id, name FROM goods WHERE id < :top", "id");
    EXPECT_EQ(E({"Не установлено значение параметра запроса :top (метод УстановитьПараметр/SetParameter)",
                 kNoKeyColumn}),
              Errors());
    EXPECT_EQ(ScriptRowCount(), 0);
}

TEST_F(StaticProviderScriptQuery, ValueWithoutItsParameterIsAHostErrorAndNothingLoads) {
    ScriptLoad("SELECT id, name FROM goods", "id", {{Text("Предел"), Number(3)}});
    EXPECT_EQ(E({"В тексте запроса нет параметра Предел, значение которого установлено (метод "
                 "УстановитьПараметр/SetParameter)",
                 kNoKeyColumn}),
              Errors());
    EXPECT_EQ(ScriptRowCount(), 0);
    EXPECT_FALSE(HasKey(100));
}

TEST_F(StaticProviderScriptQuery, KeyFieldFindsAColumnAliasedInCapitals) {
    ScriptLoad("SELECT id AS Код, name AS \"Наименование\" FROM goods ORDER BY id", "Код");
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(HasKey(105));
    EXPECT_EQ(FieldName(1), "код");
    EXPECT_EQ(FieldName(2), "наименование");
}

TEST_F(StaticProviderScriptQuery, KeyFieldWithCapitalYoFindsTheAliasWrittenWithIt) {
    ScriptLoad("SELECT name, id AS ЁМКОСТЬ FROM goods ORDER BY id", "Ёмкость");
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(HasKey(101));
    EXPECT_EQ(FieldName(2), "Ёмкость");
    ScriptLoad("SELECT name, id AS \"ёмкость\" FROM goods ORDER BY id", "ЁМКОСТЬ");
    EXPECT_EQ(E({"В полученном наборе данных отсутствует ключевое поле (Ёмкость)"}), Errors())
        << "the module keeps a capital Ё, so only a column written with it is found";
}

}  // namespace
}  // namespace static_test
