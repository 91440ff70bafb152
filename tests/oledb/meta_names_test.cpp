#include "oledb_fixture.h"

class MetaNames : public OleDbTest {
protected:
    // Parses a UTF-8 text; answers the real name, or "error: " and the reason, in UTF-8.
    static std::string Parse(const std::string& utf8) {
        OleDb::CMetaNameParserProxy parser;
        parser.SetQueryText(CString(std::string_view(cp1251::FromUtf8(utf8))));
        if (parser.Parse()) return cp1251::ToUtf8(parser.GetQueryText().view());
        return "error: " + cp1251::ToUtf8(parser.GetLastError().view());
    }
    void OpenCatalogue() {
        Exec("CREATE TABLE rowlark_meta_names(meta_name TEXT, real_name TEXT);"
             "INSERT INTO rowlark_meta_names VALUES ('$Справочник.Товары', 'goods'), ('Документ.Заказ', 'orders');");
        data_->Close();
        ASSERT_TRUE(data_->Open(path_.c_str()));
    }
};

TEST_F(MetaNames, OpeningADatabaseWithACatalogueMakesItsNamesKnown) {
    EXPECT_EQ(Parse("$Справочник.Товары"), "error: Неизвестное метаимя: $Справочник.Товары");
    OpenCatalogue();
    EXPECT_EQ(Parse("$Справочник.Товары"), "goods");
    EXPECT_EQ(Parse("$Документ.Заказ"), "orders");  // stored without its '$'
}

TEST_F(MetaNames, MetaNamesMatchInAnyLetterCaseLatinAndCyrillic) {
    OpenCatalogue();
    EXPECT_EQ(Parse("$СПРАВОЧНИК.ТОВАРЫ"), "goods");
    EXPECT_EQ(Parse("  $справочник.товары "), "goods");
    EXPECT_EQ(Parse("$ДОКУМЕНТ.заказ"), "orders");
}

TEST_F(MetaNames, RealNamesPassUnchangedButTrimmed) {
    EXPECT_EQ(Parse("goods"), "goods");
    EXPECT_EQ(Parse("  Goods  "), "Goods");
    EXPECT_EQ(Parse("Таблица"), "Таблица");
}

TEST_F(MetaNames, UnknownOrEmptyNamesFailWithAReason) {
    OpenCatalogue();
    EXPECT_EQ(Parse("$Справочник.Нет"), "error: Неизвестное метаимя: $Справочник.Нет");
    EXPECT_EQ(Parse("$"), "error: Неизвестное метаимя: $");
    EXPECT_EQ(Parse(""), "error: Не задано имя таблицы");
    EXPECT_EQ(Parse("   "), "error: Не задано имя таблицы");
}

TEST_F(MetaNames, ExecutingStatementsThatFillTheCatalogueMakesThemKnown) {
    Exec("CREATE TABLE rowlark_meta_names(meta_name TEXT, real_name TEXT);"
         "INSERT INTO rowlark_meta_names VALUES ('$Склад', 'stock');");
    EXPECT_EQ(Parse("$склад"), "stock");
}

TEST_F(MetaNames, ValuesAsTheDatabaseWritesThem) {
    CString text, extra;
    bool quotes = true;
    CValue number;
    number = CNumeric::Parse("-1234.50");
    EXPECT_TRUE(OleDb::CMetaNameParserProxy::CValueToDBValue(number, 0, text, quotes, extra));
    EXPECT_EQ(text, "-1234.5");
    EXPECT_FALSE(quotes);
    number = CNumeric(9223372036854775807LL);
    EXPECT_TRUE(OleDb::CMetaNameParserProxy::CValueToDBValue(number, 0, text, quotes, extra));
    EXPECT_EQ(text, "9223372036854775807");

    CValue word;
    word = cp1251::FromUtf8("Ёж 'x'").c_str();
    EXPECT_TRUE(OleDb::CMetaNameParserProxy::CValueToDBValue(word, 0, text, quotes, extra));
    EXPECT_EQ(cp1251::ToUtf8(text.view()), "Ёж 'x'");
    EXPECT_TRUE(quotes);

    EXPECT_TRUE(OleDb::CMetaNameParserProxy::CValueToDBValue(CValue(), 0, text, quotes, extra));
    EXPECT_EQ(text, "NULL");
    EXPECT_FALSE(quotes);

    EXPECT_FALSE(OleDb::CMetaNameParserProxy::CValueToDBValue(word, 1, text, quotes, extra));
    EXPECT_EQ(text, "");
}

TEST_F(MetaNames, KeyTextsMatchWhatTheDatabaseGaveAsText) {
    // A key read back as a number must write as the same text the procedure gave for it.
    Exec("CREATE TABLE k(id INTEGER); INSERT INTO k VALUES (42), (-7);");
    auto result = Direct("SELECT id, CAST(id AS TEXT) FROM k ORDER BY rowid");
    for (long row = 0; row < 2; ++row) {
        CValue number, text;
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, number));
        ASSERT_TRUE(result.GetFieldValue(1, text));
        CString written, extra;
        bool quotes = false;
        OleDb::CMetaNameParserProxy::CValueToDBValue(number, 0, written, quotes, extra);
        EXPECT_EQ(written, text.GetString());
    }
}
