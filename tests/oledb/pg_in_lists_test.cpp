// The server's row queries with their quoted key lists taken out: which lists are taken, the shape
// left behind and the array each list becomes; texts the server would read otherwise stay as they are.
#include <gtest/gtest.h>

#include "platform/oledb/pg_in_lists.h"

using oledb_backend::TakeOutPgInLists;

namespace {

// The shape, then each array after " | "; "<as is>" when nothing was taken.
std::string Shaped(const std::string& sql, int first = 1) {
    const auto shaped = TakeOutPgInLists(sql, first);
    if (!shaped) return "<as is>";
    std::string text = shaped->shape;
    for (const std::string& array : shaped->arrays) text += " | " + array;
    return text;
}

}  // namespace

TEST(PgInLists, QuotedKeyListBecomesOneArrayParameter) {
    EXPECT_EQ(Shaped("SELECT id, name FROM goods WHERE id IN ('7', '9','12') ORDER BY id"),
              "SELECT id, name FROM goods WHERE id = ANY($1) ORDER BY id | {\"7\",\"9\",\"12\"}");
    EXPECT_EQ(Shaped("select * from t where a in('x') and b IN ( 'y' , 'z' )", 3),
              "select * from t where a = ANY($3) and b = ANY($4) | {\"x\"} | {\"y\",\"z\"}");
    // The provider's row query after its named parameters were numbered.
    EXPECT_EQ(Shaped("SELECT * FROM t WHERE k = $1 AND id IN ('1')", 2), "SELECT * FROM t WHERE k = $1 AND id = ANY($2) | {\"1\"}");
}

TEST(PgInLists, ElementsReadBackAsTheLiteralsTexts) {
    // A doubled quote is one quote; quotes and backslashes of the array are escaped; "NULL" is a text.
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE c IN ('it''s', 'a\"b', 'c\\d', 'NULL', '', 'Ёж {x,y}')"),
              "SELECT 1 FROM t WHERE c = ANY($1) | {\"it's\",\"a\\\"b\",\"c\\\\d\",\"NULL\",\"\",\"Ёж {x,y}\"}");
}

TEST(PgInLists, ListsThatMeanSomethingElseStayAsTheyAre) {
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id NOT IN ('7')"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN (7, 9)"), "<as is>");           // numbers are typed
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN ('7', NULL)"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN ('7', $1)"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN ('7' || 'x')"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN (SELECT k FROM u)"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN (('7'))"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN ('7'\n'9')"), "<as is>");           // one literal: '79'
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN ('7',)"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE id IN ('7'"), "<as is>");
}

TEST(PgInLists, PrefixedLiteralsAreNotPlain) {
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE c IN (E'a\\'b')"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE c IN (U&'d\\0061t')"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE c IN (B'101', X'1F', N'n')"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM t WHERE c IN ($$a$$, $q$b$q$)"), "<as is>");
    // An E-text holding what looks like a list hides it, and the list after it is still found.
    EXPECT_EQ(Shaped("SELECT E'\\' in (''x'')' FROM t WHERE c IN ('y')"),
              "SELECT E'\\' in (''x'')' FROM t WHERE c = ANY($1) | {\"y\"}");
}

TEST(PgInLists, ListsInsideTextsNamesAndCommentsAreNotSeen) {
    EXPECT_EQ(Shaped("SELECT 'x IN (''7'')', \"in\" FROM t -- IN ('7')\n/* IN ('8') /* IN ('9') */ */"), "<as is>");
    EXPECT_EQ(Shaped("SELECT $$ IN ('7') $$ FROM t"), "<as is>");
    EXPECT_EQ(Shaped("SELECT 1 FROM \"in\" WHERE \"IN\" IN ('a') /* in ('b') */"),
              "SELECT 1 FROM \"in\" WHERE \"IN\" = ANY($1) /* in ('b') */ | {\"a\"}");
    // "in" as a part of a longer word is no keyword.
    EXPECT_EQ(Shaped("SELECT join_in('7') FROM t"), "<as is>");
}
