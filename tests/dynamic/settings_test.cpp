// Settings of the dynamic provider, the checks of GetData and the translation of the base table.

#include "dynamic_fixture.h"
#include "platform/oledb/meta_names.h"

namespace dynamic_test {
namespace {

using test_support::RaisedErrors;

const char* const kNoConnection = "Не установлено подключение OLE DB (метод УстановитьПодключение/SetConnection)";
const char* const kNoQueryText = "Не установлен текст запроса (свойство ТекстЗапроса/QueryText)";
const char* const kNoQueryKey = "Не установлено ключевое поле запроса(свойство КлючевоеПолеЗапроса/KeyFieldQuery)";
const char* const kNoBaseKey =
    "Не установлено ключевое поле опорной таблицы(свойство КлючевоеПолеОпорнойТаблицы/KeyFieldBaseTable)";
const char* const kNoBaseTable = "Не установлена опорная таблица (свойство ОпорнаяТаблица/BaseTable)";
const char* const kNoIndexTag = "Не установлен тег индекса (свойство ТегИндекса/IndexTag)";

using DynamicSettings = DynamicTest;

TEST_F(DynamicSettings, GetDataReportsTheFirstMissingSettingOnly) {
    provider_->GetData();
    EXPECT_EQ(RaisedErrors(), std::vector<std::string>{kNoConnection});

    // Each setting made in turn moves the report to the next check, in order.
    const std::vector<std::pair<std::function<void()>, const char*>> steps = {
        {[&] { provider_->SetConnection(data_.get()); }, kNoQueryText},
        {[&] { provider_->SetQueryText("SELECT 1"); }, kNoQueryKey},
        {[&] { provider_->SetKeyFieldQuery("id"); }, kNoBaseKey},
        {[&] { provider_->SetKeyFieldBaseTable("id"); }, kNoBaseTable},
        {[&] { provider_->SetBaseTable("items"); }, kNoIndexTag},
    };
    for (const auto& [make_setting, expected] : steps) {
        host_errors::Clear();
        make_setting();
        provider_->GetData();
        EXPECT_EQ(RaisedErrors(), std::vector<std::string>{expected});
    }
    provider_->PrepareRows(nullptr, 5, 0);
    EXPECT_EQ(Next(), nullptr) << "a refused GetData leaves the provider unloaded";
}

TEST_F(DynamicSettings, ConnectionThatGivesNoCommandFailsTheFirstCheck) {
    Configure();
    oledb_faults::FailCreateCommand();
    provider_->SetConnection(data_.get());
    provider_->GetData();
    EXPECT_EQ(RaisedErrors(), std::vector<std::string>{kNoConnection});
}

TEST_F(DynamicSettings, UntranslatableBaseTableRaisesThenFailsGetData) {
    Configure();
    provider_->SetBaseTable(Cp("$Неизвестная"));
    ASSERT_EQ(RaisedErrors().size(), 1u);
    EXPECT_EQ(RaisedErrors()[0].rfind("Ошибка получения реального имени таблицы (", 0), 0u) << RaisedErrors()[0];
    EXPECT_EQ(RaisedErrors()[0].back(), ')');
    EXPECT_EQ(Utf(provider_->GetBaseTable()), "$Неизвестная") << "reads back the text as set";

    host_errors::Clear();
    provider_->GetData();
    EXPECT_EQ(RaisedErrors(), std::vector<std::string>{kNoBaseTable});
}

TEST_F(DynamicSettings, MetaNameIsTranslatedAndShownInDebugMode) {
    oledb_backend::AddMetaName(Cp("$Товары"), "items");
    Configure();
    provider_->SetDebugMode(true);
    GetBkEndUI()->Clear();
    provider_->SetBaseTable(Cp("$Товары"));
    EXPECT_TRUE(RaisedErrors().empty());
    EXPECT_EQ(LinesStartingWith("Опорная таблица"), std::vector<std::string>{"Опорная таблица: items"});
    EXPECT_EQ(Utf(provider_->GetBaseTable()), "$Товары");
    provider_->GetData();
    EXPECT_EQ(Drain(), std::vector<std::string>{"10"}) << "the real name reaches QueryRows";
    oledb_backend::ClearMetaNames();
}

TEST_F(DynamicSettings, KeyFieldQueryIsStoredFoldedAndKeepsYo) {
    provider_->SetKeyFieldQuery(Cp("КодТовара_ID"));
    EXPECT_EQ(Utf(provider_->GetKeyFieldQuery()), "кодтовара_id");
    provider_->SetKeyFieldQuery(Cp("ЁЛКА"));
    EXPECT_EQ(Utf(provider_->GetKeyFieldQuery()), "Ёлка");
}

TEST_F(DynamicSettings, OtherTextPropertiesKeepTheirBytes) {
    provider_->SetKeyFieldBaseTable("ID");
    provider_->SetIndexTag("Name");
    provider_->SetFilterFrom(Cp(" Аб "));
    provider_->SetFilterTo("O'B");
    provider_->SetQueryText(Cp("SELECT * FROM Т"));
    EXPECT_EQ(provider_->GetKeyFieldBaseTable(), "ID");
    EXPECT_EQ(provider_->GetIndexTag(), "Name");
    EXPECT_EQ(Utf(provider_->GetFilterFrom()), " Аб ");
    EXPECT_EQ(provider_->GetFilterTo(), "O'B");
    EXPECT_EQ(Utf(provider_->GetQueryText()), "SELECT * FROM Т");
    EXPECT_FALSE(provider_->GetDebugMode());
}

TEST_F(DynamicSettings, DebugModeBeforeSetConnectionLeavesTheNewCommandQuiet) {
    provider_->SetDebugMode(true);
    Configure();
    GetBkEndUI()->Clear();
    provider_->GetData();
    EXPECT_EQ(test_support::MessageLines(), (std::vector<std::string>{"ИД: 10", "Получена строка ИД: '10'"}));

    provider_->SetDebugMode(true);  // now the command is switched too and writes its statements
    GetBkEndUI()->Clear();
    provider_->PrepareRows(nullptr, 1, 0);
    EXPECT_EQ(LinesStartingWith("QueryRows").size(), 1u);
    provider_->SetDebugMode(false);
    GetBkEndUI()->Clear();
    provider_->PrepareRows(nullptr, 1, 0);
    EXPECT_TRUE(test_support::MessageLines().empty());
}

TEST_F(DynamicSettings, SecondConnectionServesLaterLoadsAndEarlierRowsStay) {
    Configure();
    provider_->GetData();
    RowPtr first = Next();
    ASSERT_NE(first, nullptr);

    std::unique_ptr<COLEDBData, DataRelease> other(new COLEDBData);
    ASSERT_TRUE(other->Open(backend_->connection_text().c_str()));
    ASSERT_TRUE(other->Execute(Cp("UPDATE items SET name = 'Новое' WHERE id = 10").c_str()));
    provider_->SetConnection(other.get());
    data_.reset();  // the first connection is gone; the provider needs only its new command
    provider_->PrepareRows(nullptr, 1, 0);
    RowPtr again = Next();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Cell(*again, 2), "Новое");
    EXPECT_EQ(Cell(*first, 2), "Товар 10");
}

TEST_F(DynamicSettings, EmptyRangeLoadsWithoutFieldSetOrRows) {
    Configure();
    provider_->SetFilterFrom("Z");
    provider_->GetData();
    EXPECT_TRUE(RaisedErrors().empty());
    EXPECT_FALSE(provider_->GetFieldSet());
    EXPECT_EQ(Next(), nullptr);
}

TEST_F(DynamicSettings, ParametersReachTheRowQuery) {
    Configure("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) AND id > :low");
    provider_->SetParameter("low", [] { CValue v; v = 7L; return v; }());
    provider_->PrepareRows(nullptr, 10, 0);  // not loaded: nothing happens
    provider_->GetData();
    provider_->PrepareRows(nullptr, 10, 0);
    EXPECT_EQ(Drain(), (std::vector<std::string>{"10", "9", "8"}));
}

}  // namespace
}  // namespace dynamic_test
