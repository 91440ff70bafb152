// One load: the QueryRows call, the key list in the row query, and the rows lined up by key.

#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

using test_support::RaisedErrors;
using Keys = std::vector<std::string>;

const char* const kKeyOutsideList =
    "В полученной выборке обнаружена строка с ключевым полем, отсутствующем в списке ключей, полученных из "
    "опорной таблицы. Проверьте корректность запроса и названий ключевых полей.";

class DynamicLoad : public DynamicTest {
protected:
    // Configured and loaded, with the command writing every statement it runs.
    void Load(const std::string& query = "SELECT id, code, name FROM items WHERE id IN (%СписокИД%)") {
        Configure(query);
        provider_->SetDebugMode(true);
        provider_->GetData();
        provider_->SetDebugMode(false);
    }
    // The statements the command ran with debug on, as written to the message window.
    static Keys Calls() { return LinesStartingWith("QueryRows"); }
};

TEST_F(DynamicLoad, CallTextsAreExact) {
    Configure();
    provider_->SetFilterFrom("C02");
    provider_->SetFilterTo("C09");
    provider_->SetDebugMode(true);
    provider_->GetData();
    RowPtr first = Next();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Utf(Dyn(first).GetKeyText()), "9");
    EXPECT_EQ(Utf(Dyn(first).GetIndexText()), "C02");

    provider_->PrepareRows(first.get(), -20, 0);
    provider_->PrepareRows(first.get(), 0, 0);
    provider_->RefreshRow(first.get());
    provider_->SetFilterFrom("");
    provider_->SetFilterTo("");
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(Calls(), (Keys{"QueryRows ('items', 'code', '', '', 1, 'id',1, 'C02', 'C09',0)",
                             "QueryRows ('items', 'code', 'C02', '9', 20, 'id',0, 'C02', 'C09',0)",
                             "QueryRows ('items', 'code', 'C02', '9', 0, 'id',0, 'C02', 'C09',0)",
                             "QueryRows ('items', 'code', 'C02', '9', 1, 'id',1, 'C02', 'C09',1)",
                             "QueryRows ('items', 'code', '', '', 3, 'id',1, '', '',0)"}));
}

TEST_F(DynamicLoad, LargestCountsTravelWithoutOverflow) {
    Load();
    provider_->SetDebugMode(true);
    provider_->PrepareRows(nullptr, std::numeric_limits<int>::min(), 0);
    EXPECT_EQ(Calls().back(), "QueryRows ('items', 'code', '', '', 2147483648, 'id',0, '', '',0)");
    EXPECT_EQ(Drain().size(), 10u);
}

TEST_F(DynamicLoad, KeysAndNamesWithApostrophesTravelBothWays) {
    provider_->SetQueryText(Cp("SELECT code, name FROM people WHERE code IN (%СписокИД%)"));
    provider_->SetKeyFieldQuery("code");
    provider_->SetKeyFieldBaseTable("code");
    provider_->SetBaseTable("people");
    provider_->SetIndexTag("name");
    provider_->SetConnection(data_.get());
    provider_->SetDebugMode(true);
    provider_->GetData();
    provider_->PrepareRows(nullptr, 5, 0);
    EXPECT_EQ(LinesStartingWith("Получена строка ИД: ").back(), "Получена строка ИД: 'O''Brien','Smith','D''Arcy'");
    std::vector<RowPtr> rows;
    while (RowPtr row = Next()) rows.push_back(std::move(row));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Dyn(rows[0]).GetKeyText(), "O'Brien");
    EXPECT_EQ(Cell(*rows[2], 1), "Carl");

    // A start row whose key holds an apostrophe is sent back quoted and found again.
    provider_->PrepareRows(rows[0].get(), 5, 0);
    EXPECT_EQ(Calls().back(), "QueryRows ('people', 'name', 'Alan', 'O''Brien', 5, 'code',1, '', '',0)");
    EXPECT_EQ(Drain(), (Keys{"Smith", "D'Arcy"}));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(DynamicLoad, DebugMessagesFollowTheAnswerThenTheKeyList) {
    Configure();
    provider_->GetData();
    RowPtr first = Next();
    provider_->SetDebugMode(true);
    GetBkEndUI()->Clear();
    provider_->PrepareRows(first.get(), 3, 0);
    const Keys ours = [] {
        Keys out;
        for (const auto& line : test_support::MessageLines())
            if (line.rfind("QueryRows", 0) != 0 && line.rfind("SELECT", 0) != 0) out.push_back(line);
        return out;
    }();
    EXPECT_EQ(ours, (Keys{"ИД: 9", "ИД: 8", "ИД: 7", "Получена строка ИД: '9','8','7'"}));
    for (const auto& line : GetBkEndUI()->Lines()) EXPECT_EQ(line.marker, 1);
}

TEST_F(DynamicLoad, PlaceholderIsReplacedEverywhere) {
    Load("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) AND id IN (%СписокИД%)");
    EXPECT_EQ(LinesStartingWith("SELECT"),
              Keys{"SELECT id, code, name FROM items WHERE id IN ('10') AND id IN ('10')"});
    EXPECT_EQ(Drain(), Keys{"10"});
}

TEST_F(DynamicLoad, RowsComeInQueryRowsOrderWhateverTheRowQueryOrder) {
    for (const char* order : {"id", "id DESC", "name"}) {
        Load(std::string("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) ORDER BY ") + order);
        provider_->PrepareRows(nullptr, 4, 0);
        std::vector<RowPtr> rows;
        while (RowPtr row = Next()) rows.push_back(std::move(row));
        ASSERT_EQ(rows.size(), 4u) << order;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string key = std::to_string(10 - i);
            EXPECT_EQ(Utf(Dyn(rows[i]).GetKeyText()), key) << order;
            EXPECT_EQ(Cell(*rows[i], 0), key) << "the row's values belong to its key";
            EXPECT_EQ(Cell(*rows[i], 2), "Товар " + key);
        }
    }
}

TEST_F(DynamicLoad, RowWithKeyOutsideTheListRaisesAndServesNothing) {
    Load("SELECT id, code, name FROM items");
    EXPECT_EQ(RaisedErrors(), Keys{kKeyOutsideList});
    EXPECT_EQ(Next(), nullptr);
    EXPECT_FALSE(provider_->GetFieldSet()) << "the FieldSet waits for a load that places its rows";
}

TEST_F(DynamicLoad, MissingKeyColumnIsQuotedInLowerCase) {
    Configure("SELECT code, name FROM items WHERE id IN (%СписокИД%)");
    provider_->SetKeyFieldQuery(Cp("Ид"));
    provider_->GetData();
    EXPECT_EQ(RaisedErrors(), Keys{"В полученном наборе данных отсутствует ключевое поле (ид)"});
    EXPECT_EQ(Next(), nullptr);
}

TEST_F(DynamicLoad, CapitalisedKeyFieldMatchesTheColumnAliasedInAnyCase) {
    Configure();
    provider_->SetKeyFieldQuery("ID");
    provider_->GetData();
    EXPECT_TRUE(RaisedErrors().empty());
    EXPECT_EQ(Drain(), Keys{"10"});

    // Quoted, or the server would fold it itself; the layer names every column in small letters.
    provider_->SetQueryText(Cp("SELECT id AS \"ID\", name FROM items WHERE id IN (%СписокИД%)"));
    provider_->GetData();
    EXPECT_TRUE(RaisedErrors().empty());
    EXPECT_EQ(Drain(), Keys{"10"});
}

TEST_F(DynamicLoad, KeyColumnIsFoundOncePerGetData) {
    Load();
    // Another column order takes effect for the key column only at the next GetData.
    provider_->SetQueryText(Cp("SELECT name, id FROM items WHERE id IN (%СписокИД%)"));
    provider_->PrepareRows(nullptr, 2, 0);
    EXPECT_EQ(Drain(), Keys{}) << "column 0 now holds names, which are no keys";
    EXPECT_EQ(RaisedErrors(), Keys{kKeyOutsideList});
    host_errors::Clear();
    provider_->GetData();
    provider_->PrepareRows(nullptr, 2, 0);
    EXPECT_EQ(Drain(), (Keys{"10", "9"}));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(DynamicLoad, FieldSetIsBuiltOncePerGetData) {
    Load();
    const auto built = provider_->GetFieldSet();
    ASSERT_TRUE(built);
    EXPECT_EQ(built->size(), 3u);
    provider_->SetQueryText(Cp("SELECT id, name FROM items WHERE id IN (%СписокИД%)"));
    provider_->PrepareRows(nullptr, 2, 0);
    EXPECT_EQ(provider_->GetFieldSet(), built);
    provider_->GetData();
    ASSERT_NE(provider_->GetFieldSet(), built);
    EXPECT_EQ(provider_->GetFieldSet()->size(), 2u);
    EXPECT_EQ(built->size(), 3u) << "the old set lives on unchanged";
}

TEST_F(DynamicLoad, RepeatedKeyInTheAnswerTakesOnePlace) {
    Configure();
    provider_->SetDebugMode(true);
    AnswerQueryRows({{"3", "a"}, {"3", "b"}, {"5", "c"}, {"3", "d"}, {"7", "e"}});
    provider_->GetData();
    EXPECT_EQ(LinesStartingWith("ИД: ").size(), 5u);
    std::vector<RowPtr> rows;
    while (RowPtr row = Next()) rows.push_back(std::move(row));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Dyn(rows[0]).GetKeyText(), "3");
    EXPECT_EQ(Dyn(rows[0]).GetIndexText(), "a") << "the first answer row of a key is kept";
    EXPECT_EQ(Dyn(rows[1]).GetKeyText(), "5");
    EXPECT_EQ(Dyn(rows[2]).GetKeyText(), "7");
    EXPECT_EQ(Cell(*rows[2], 0), "7");
}

TEST_F(DynamicLoad, KeyTheRowQueryDoesNotReturnIsSkipped) {
    Configure();
    AnswerQueryRows({{"3", "a"}, {"99", "b"}, {"5", "c"}});
    provider_->GetData();
    EXPECT_EQ(Drain(), (Keys{"3", "5"}));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(DynamicLoad, RowQueryCarryingAKeyTwiceServesTheLaterRow) {
    Configure("SELECT id, name FROM items WHERE id IN (%СписокИД%) UNION ALL SELECT 10, 'Позже'");
    provider_->GetData();
    RowPtr row = Next();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Cell(*row, 1), "Позже");
    EXPECT_EQ(Next(), nullptr);
}

TEST_F(DynamicLoad, IndexTextLosesTrailingWhiteSpaceOnly) {
    Configure();
    AnswerQueryRows({{"4", "  Ab c \t\r\n\v\f "}});
    provider_->GetData();
    RowPtr row = Next();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Dyn(row).GetIndexText(), "  Ab c");
    provider_->PrepareRows(row.get(), 1, 0);
    const auto calls = QueryRowsCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1][2].text, "  Ab c") << "the next call starts from the trimmed text";
    EXPECT_EQ(calls[1][3].text, "4");
}

TEST_F(DynamicLoad, UnknownRowCountIsCountedByPositioning) {
    for (long reported : {0L, -1L}) {
        oledb_faults::ReportRowCount(reported);
        Configure();
        provider_->GetData();
        provider_->PrepareRows(nullptr, 6, 0);
        EXPECT_EQ(Drain(), (Keys{"10", "9", "8", "7", "6", "5"})) << reported;
    }
}

TEST_F(DynamicLoad, FailingRowQueryIsReportedOnceByTheLayer) {
    Load("SELECT nonsense FROM nowhere WHERE id IN (%СписокИД%)");
    EXPECT_EQ(RaisedErrors().size(), 1u);
    EXPECT_EQ(Next(), nullptr);
}

}  // namespace
}  // namespace dynamic_test
