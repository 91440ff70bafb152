// A text tag in the Russian order: dictionary words in every case, with ё and Ё, served in the order
// glibc's ru_RU.UTF-8 collation gives them; prefix bounds that ignore case and Ё; whole scrolls.
//
// Where ICU's order (the tag's) and glibc's differ, and why no text here holds such a case:
//   - blanks and punctuation: glibc ignores them at the first level ("прод пробудь" after
//     "проделывать"), ICU sorts them before every letter ("прод пробудь" first). Checked below.
//   - digits: ICU sorts them before letters; glibc as well, but after ignoring the blank before them
//     ("Жук 2" after "Жук1" in glibc, before it in ICU).
// Texts of letters only, in any case and with ё, come in the same order from both.

#include <sqlite3.h>

#include <algorithm>
#include <memory>

#include "database/index_tags.h"
#include "tests/query_rows/query_rows_fixture.h"
#include "tests/query_rows/russian_words_order.h"

namespace query_rows_test {
namespace {

class QueryRowsRussian : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE words (id integer PRIMARY KEY, name text)");
    }

    void Insert(const std::vector<KeyedText>& texts) {
        BackendDatabase::Rows rows;
        for (const KeyedText& each : texts) rows.push_back({each.key, each.text});
        db().Insert("words", {"id", "name"}, rows);
    }

    // The tag "name" in the Russian order, and "bytes" on the same column in byte order.
    void AddTags() {
        if (on_server()) {
            db().Exec("SELECT rowlark_add_index_tag('words', 'name', 'name', 'id', 'text', 'russian')");
        } else {
            sqlite3* raw = nullptr;
            ASSERT_EQ(sqlite3_open(db().connection_text().c_str(), &raw), SQLITE_OK);
            const std::unique_ptr<sqlite3, int (*)(sqlite3*)> handle(raw, &sqlite3_close);
            rowlark::database::AddIndexTag(raw, "words", "name", "name", "id", rowlark::database::TagKind::Text,
                                           rowlark::database::TextOrder::Russian);
        }
        db().AddIndexTag("words", "bytes", "name", "id");
    }

    Call On(const std::string& tag) const {
        Call call;
        call.table = "words";
        call.tag = tag;
        call.count = 1000;
        return call;
    }

    // The names of the rows a call serves.
    std::vector<std::string> Names(const Call& call) {
        std::vector<std::string> names;
        for (const Row& row : Answer(call)) names.push_back(row.second);
        return names;
    }

    void InsertNames(const std::vector<std::string>& names) {
        std::vector<KeyedText> texts;
        for (const std::string& name : names) texts.push_back({std::to_string(texts.size() + 1), name});
        Insert(texts);
        AddTags();
    }
};

TEST_F(QueryRowsRussian, DictionaryWordsInEveryCaseComeInGlibcsRussianOrderBothWays) {
    const std::vector<KeyedText> texts = MixedCaseWords(on_server() ? 90 : 60);
    ASSERT_GT(texts.size(), 3000u);
    Insert(texts);
    AddTags();
    const Keys expected = KeysInGlibcOrder(texts);
    ASSERT_EQ(expected.size(), texts.size());

    Call call = On("name");
    EXPECT_EQ(KeysOfRows(PageThrough(call, 97, 100)), expected) << "forward, every row once";
    call.forward = 0;
    Keys backward = KeysOfRows(PageThrough(call, 89, 100));
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, expected) << "backward, every row once";
    // The byte-order tag on the same column keeps its order: not the Russian one.
    EXPECT_NE(KeysOfRows(PageThrough(On("bytes"), 500, 100)), expected);
}

TEST_F(QueryRowsRussian, CaseAndYoDecideOnlyBetweenOtherwiseEqualNames) {
    InsertNames({"Бабушкин", "Бабёнка", "ёж", "Ёлкин", "Жук", "жук", "ЖУК", "Ежик", "еж", "Ель", "абрикос", "Яблоко"});
    EXPECT_EQ(Names(On("name")),
              (std::vector<std::string>{"абрикос", "Бабёнка", "Бабушкин", "еж", "ёж", "Ежик", "Ёлкин", "Ель", "жук",
                                        "Жук", "ЖУК", "Яблоко"}));
    // The byte order of the same names: Ё before А, ё after я, capitals apart.
    EXPECT_EQ(Names(On("bytes")).front(), "Ёлкин");
}

TEST_F(QueryRowsRussian, UpperBoundKeepsEveryNameBeginningWithItWhateverItsCaseAndYo) {
    InsertNames({"Жу", "Жук", "ЖУКОВ", "жуков", "Жуковский", "Жул", "Ёлкин", "Елка", "ёж", "Дом", "Ж"});
    Call call = On("name");
    call.from = "Жук";
    call.to = "Жук";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"Жук", "жуков", "ЖУКОВ", "Жуковский"}));
    call.from = "жук";  // typed in lower case: the same rows
    call.to = "жук";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"Жук", "жуков", "ЖУКОВ", "Жуковский"}));
    call.from = "Е";
    call.to = "Е";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"ёж", "Елка", "Ёлкин"}));
    call.from = "ё";  // the range "ё".."ж" holds the е-, ё- and ж-names
    call.to = "ж";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"ёж", "Елка", "Ёлкин", "Ж", "Жу", "Жук", "жуков", "ЖУКОВ",
                                                    "Жуковский", "Жул"}));
    call.from = "";
    call.to = "Д";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"Дом"}));
}

TEST_F(QueryRowsRussian, UpperBoundAtTheLastLetterKeepsItsWords) {
    // Past "я" in code points comes "ѐ", which this order puts among the е-words: no use as a bound.
    InsertNames({"Яблоко", "ящик", "Я", "ёж", "Юла"});
    Call call = On("name");
    call.to = "я";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"ёж", "Юла", "Я", "Яблоко", "ящик"}));
    call.from = "Я";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"Я", "Яблоко", "ящик"}));
}

// A prefix as upper bound keeps every text that continues it, whatever comes next: ICU's Russian order
// puts Latin, Greek and other scripts after "я", some old Cyrillic letters too, and the highest code
// points later still; texts that only come near the prefix stay outside.
TEST_F(QueryRowsRussian, UpperBoundKeepsTheTextsThatContinueItWithAnyCharacter) {
    const std::vector<std::string> continuations = {
        "", "я", "Я", "яя", "ё", "Ё", "а", "ѣ", "і", "ў", "ѳ", "ѵ", "ӕ", "a", "Z", "zz", "7", " дом", "-1", ".",
        "_", "\u00a0", "α", "Ω", "א", "ა", "中", "😀", "\ufffd", "\U0010fffd", "\U0010ffff", "\U000e0001"};
    std::vector<std::string> names;
    for (const std::string& rest : continuations) names.push_back("мол" + rest);
    names.insert(names.end(), {"МОЛ", "Мол", "МолЯ", "мОлz"});
    const std::size_t beginning = names.size();
    // Near the prefix but not beginning with it: before it, and after it in this order.
    const std::vector<std::string> before = {"мо", "мок", "мокя", "мо л", "м", "Амол"};
    const std::vector<std::string> after = {"мом", "мп", "моk", "мөл", "Смол", "я", "z"};
    names.insert(names.end(), before.begin(), before.end());
    names.insert(names.end(), after.begin(), after.end());
    InsertNames(names);
    const auto keys_from = [](std::size_t first, std::size_t last) {
        Keys keys;
        for (std::size_t k = first; k <= last; ++k) keys.push_back(std::to_string(k));
        return keys;
    };
    const auto sorted = [](Keys keys) {
        std::sort(keys.begin(), keys.end());
        return keys;
    };
    Call call = On("name");
    call.from = "мол";
    call.to = "мол";
    const Keys expected = keys_from(1, beginning);
    EXPECT_EQ(sorted(KeysOf(call)), sorted(expected)) << "from and to the prefix: the texts beginning with it";
    call.from = "";
    call.to = "МОЛ";  // typed in capitals: the same upper bound
    const Keys up_to = keys_from(1, beginning + before.size());
    EXPECT_EQ(sorted(KeysOf(call)), sorted(up_to)) << "up to the prefix: these and the texts before them";
}

TEST_F(QueryRowsRussian, TypedLowerBoundLandsOnTheFirstNameEqualToItWhateverItsCase) {
    InsertNames({"ЖУК", "Жук", "жук", "Жуа", "Жука", "ЁЖ", "ежа"});
    Call call = On("name");
    call.count = 1;
    for (const std::string typed : {"жук", "Жук", "ЖУК"}) {
        call.from = typed;
        EXPECT_EQ(Names(call), (std::vector<std::string>{"жук"})) << typed;
    }
    call.from = "ёж";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"ЁЖ"}));  // "ежа" is after "ёж" by its letters
    call.from = "ЕЖА";
    EXPECT_EQ(Names(call), (std::vector<std::string>{"ежа"}));
}

TEST_F(QueryRowsRussian, ARunOfEqualNamesIsWalkedByKeyFromAStartInsideIt) {
    std::vector<std::string> names(12, "Жук");
    names.insert(names.end(), {"жук", "ЖУК", "Жуков"});
    InsertNames(names);
    Call call = On("name");
    call.index = "Жук";
    call.key = "5";
    call.count = 4;
    EXPECT_EQ(KeysOf(call), (Keys{"6", "7", "8", "9"}));
    call.forward = 0;
    EXPECT_EQ(KeysOf(call), (Keys{"4", "3", "2", "1"}));
    call.forward = 1;
    call.key = "12";
    EXPECT_EQ(KeysOf(call), (Keys{"14", "15"}));  // "ЖУК" after "Жук", then "Жуков"
    call.index = "жук";
    call.key = "13";
    call.inclusive = 1;
    EXPECT_EQ(KeysOf(call), (Keys{"13", "1", "2", "3"}));
}

TEST_F(QueryRowsRussian, BlanksSortBeforeLettersWhereGlibcIgnoresThem) {
    InsertNames({"проделывать", "прод пробудь", "Жук1", "Жук 2"});
    EXPECT_EQ(Names(On("name")), (std::vector<std::string>{"Жук 2", "Жук1", "прод пробудь", "проделывать"}));
    const std::vector<KeyedText> texts = {{"1", "проделывать"}, {"2", "прод пробудь"}, {"3", "Жук1"}, {"4", "Жук 2"}};
    EXPECT_EQ(KeysInGlibcOrder(texts), (Keys{"3", "4", "1", "2"})) << "glibc: blanks ignored at the first level";
}

}  // namespace
}  // namespace query_rows_test
