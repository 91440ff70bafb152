#include <sqlite3.h>

#include <string>
#include <vector>

#include "oledb_fixture.h"
#include "platform/oledb/text_out.h"

class Texts : public OleDbTest {
protected:
    int WarningLines() const {
        int n = 0;
        for (const auto& line : GetBkEndUI()->Lines()) n += line.marker == oledb_backend::kReplacedTextMarker;
        return n;
    }
};

TEST_F(Texts, EveryCp1251ByteRoundTripsThroughTheDatabase) {
    Exec("CREATE TABLE b(code INTEGER, ch TEXT, all_bytes TEXT); BEGIN;");
    std::string all;
    for (int code = 1; code <= 255; ++code) {
        const std::string one(1, static_cast<char>(code));
        all += one;
        CValue ch, c;
        ch = one.c_str();
        c = static_cast<long>(code);
        command_.SetTextParam("code", c);
        command_.SetTextParam("ch", ch);
        ASSERT_TRUE(Direct("INSERT INTO b(code, ch) VALUES (:code, :ch)").IsValid()) << code << LastError();
    }
    CValue whole;
    whole = all.c_str();
    command_.SetTextParam("all", whole);
    ASSERT_TRUE(Direct("UPDATE b SET all_bytes = :all WHERE code = 1").IsValid());
    Exec("COMMIT");

    LONG count = 0;
    auto result = Direct("SELECT code, ch, length(ch) FROM b ORDER BY code", count);
    ASSERT_EQ(count, 255);
    for (long row = 0; row < 255; ++row) {
        CValue code, ch, length;
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, code));
        ASSERT_TRUE(result.GetFieldValue(1, ch));
        ASSERT_TRUE(result.GetFieldValue(2, length));
        const int byte = static_cast<int>(static_cast<long>(code.GetNumeric()));
        EXPECT_EQ(ch.GetString().view(), std::string(1, static_cast<char>(byte))) << "byte " << byte;
        EXPECT_EQ(length.GetString(), "1") << "byte " << byte << " is one character for the database";
    }
    auto seq = Sequential("SELECT all_bytes FROM b WHERE code = 1");
    ASSERT_TRUE(seq.GetNextRow());
    CValue back;
    ASSERT_TRUE(seq.GetFieldValue(0, back));
    EXPECT_EQ(back.GetString().view(), all);
    EXPECT_EQ(WarningLines(), 0);
}

TEST_F(Texts, CyrillicIsStoredAsUtf8ForTheDatabase) {
    CValue name;
    name = cp1251::FromUtf8("Щука").c_str();
    command_.SetTextParam("n", name);
    ASSERT_TRUE(Direct("CREATE TABLE f AS SELECT :n AS n").IsValid());
    auto result = Direct("SELECT hex(n) FROM f");
    CValue hex;
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(0, hex));
    EXPECT_EQ(hex.GetString(), "D0A9D183D0BAD0B0");
}

TEST_F(Texts, CharacterOutsideTheCodePageBecomesAQuestionMarkWithOneWarningPerExecution) {
    // U+1F600 and U+4E2D have no CP1251 byte; the rows around them must still be served.
    Exec("CREATE TABLE u(t TEXT); INSERT INTO u VALUES ('ok ' || char(128512)), ('Жук' || char(20013) || '!'), ('plain');");
    auto result = Direct("SELECT t FROM u ORDER BY rowid");
    ASSERT_TRUE(result.IsValid());
    EXPECT_TRUE(host_errors::Raised().empty());
    const char* expected[] = {"ok ?", "Жук?!", "plain"};
    for (long row = 0; row < 3; ++row) {
        CValue v;
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, v));
        EXPECT_EQ(Utf8(v), expected[row]);
    }
    ASSERT_EQ(WarningLines(), 1);
    EXPECT_NE(cp1251::ToUtf8(GetBkEndUI()->Lines()[0].text).find("Windows-1251"), std::string::npos);

    auto seq = Sequential("SELECT t FROM u ORDER BY rowid");
    while (seq.GetNextRow()) {
        CValue v;
        ASSERT_TRUE(seq.GetFieldValue(0, v));
        ASSERT_TRUE(seq.GetFieldValue(0, v));
    }
    EXPECT_EQ(WarningLines(), 2);  // one more for the second execution, however many texts it lost
}

TEST_F(Texts, ColumnNameOutsideTheCodePageIsReplacedAndWarned) {
    // The host's statement texts are CP1251, so the column is made straight through SQLite.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
    const int rc = sqlite3_exec(raw, "CREATE TABLE w(\"a\u20BFb\" INTEGER)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    ASSERT_EQ(rc, SQLITE_OK);
    auto result = Direct("SELECT * FROM w");
    ASSERT_TRUE(result.IsValid());
    EXPECT_EQ(result.GetFieldName(0), "a?b");
    EXPECT_EQ(WarningLines(), 1);
}

TEST_F(Texts, MalformedUtf8FromTheDatabaseIsReplacedNotPassedOn) {
    Exec("CREATE TABLE m(t TEXT); INSERT INTO m VALUES (CAST(x'41FF42C3' AS TEXT));");
    auto result = Direct("SELECT t FROM m");
    CValue v;
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(v.GetString(), "A?B?");
    EXPECT_EQ(WarningLines(), 1);
}

// The conversion copies ASCII stretches eight bytes at a time and the common Russian letters by
// arithmetic; every other character goes through the table.
// Whatever the stretches' lengths and where the other characters fall, the text must be the one
// the characters give converted alone (each shorter than a stretch), and exactness must agree.
TEST(TextToCp1251, AsciiStretchesOfAnyLengthConvertAsTheirCharactersDo) {
    const std::string pieces[] = {"Ж", "А", "п", "р", "я", "Ё", "ё", "€", "\xF0\x9F\x98\x80", "\x7F", std::string(1, '\0')};
    for (std::size_t before = 0; before <= 19; ++before) {
        for (const std::string& odd : pieces) {
            for (std::size_t after = 0; after <= 11; after += 3) {
                std::vector<std::string> characters;
                for (std::size_t i = 0; i < before; ++i) characters.push_back(std::string(1, static_cast<char>('a' + i)));
                characters.push_back(odd);
                for (std::size_t i = 0; i < after; ++i) characters.push_back(std::string(1, static_cast<char>('0' + i % 10)));
                characters.push_back("Щ");
                std::string utf8, expected;
                bool expected_exact = true;
                for (const std::string& c : characters) {
                    utf8 += c;
                    std::string one(c.size(), '\0');
                    bool exact = true;
                    one.resize(oledb_backend::ToCp1251(c, one.data(), exact));
                    expected += one;
                    expected_exact = expected_exact && exact;
                }
                std::string got(utf8.size(), '\0');
                bool exact = true;
                got.resize(oledb_backend::ToCp1251(utf8, got.data(), exact));
                EXPECT_EQ(got, expected) << before << " " << after;
                EXPECT_EQ(exact, expected_exact) << before << " " << after;
                EXPECT_EQ(got, cp1251::FromUtf8(utf8));
            }
        }
    }
    bool exact = true;
    std::string malformed(20, '\0');
    malformed.resize(oledb_backend::ToCp1251("abcdefgh\xFFijklmnop", malformed.data(), exact));
    EXPECT_EQ(malformed, "abcdefgh?ijklmnop");
    EXPECT_FALSE(exact);
}

// Every two-byte sequence with lead D0 or D1 (the Cyrillic block, letters the code page has and
// lacks alike), and the same leads broken off or followed by no continuation byte, convert as the
// run-time conversion reads them.
TEST(TextToCp1251, TwoByteCyrillicBlockAndBrokenLeadsConvertAsTheRunTimeConversionDoes) {
    std::vector<std::string> texts;
    for (int lead = 0xD0; lead <= 0xD1; ++lead)
        for (int second = 0x80; second <= 0xBF; ++second)
            texts.push_back(std::string{static_cast<char>(lead), static_cast<char>(second)} + " ");
    for (const char* broken : {"\xD0", "\xD1", "\xD0" "A", "\xD1\xD0\x90", "\xD0\xC0", "x\xD0"})
        texts.emplace_back(broken);
    std::string all;
    for (const std::string& text : texts) {
        std::string got(text.size(), '\0');
        bool exact = true;
        got.resize(oledb_backend::ToCp1251(text, got.data(), exact));
        EXPECT_EQ(got, cp1251::FromUtf8(text)) << testing::PrintToString(text);
        EXPECT_EQ(exact, got.find('?') == std::string::npos) << testing::PrintToString(text);
        all += text;
    }
    std::string got(all.size(), '\0');
    bool exact = true;
    got.resize(oledb_backend::ToCp1251(all, got.data(), exact));
    EXPECT_EQ(got, cp1251::FromUtf8(all));
}
