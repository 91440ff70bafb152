// Name folding, the member tables, and what a script object answers about its members' names.

#include <gtest/gtest.h>

#include "addin/context/fold_name.h"
#include "addin/context/member_registry.h"
#include "platform/win/crt.h"
#include "test_classes.h"

namespace context_test {
namespace {

TEST(FoldName, LowersOnlyLatinAndCyrillicCapitalsWhateverTheLocale) {
    for (const crt::Locale locale : {crt::Locale::C, crt::Locale::Russian1251}) {
        crt::SetLocale(locale);
        for (int b = 0; b < 256; ++b) {
            const bool capital = (b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDF);
            EXPECT_EQ(FoldByte(static_cast<unsigned char>(b)), capital ? b + 0x20 : b) << "byte " << b;
        }
    }
    crt::SetLocale(crt::Locale::C);
}

TEST(FoldName, KeepsYoAndEmbeddedNul) {
    EXPECT_EQ(FoldName(cp1251::FromUtf8("ЁЛКА")), cp1251::FromUtf8("Ёлка"));
    EXPECT_EQ(FoldName(std::string("A\0B", 3)), std::string("a\0b", 3));
}

class TableOf : public ::testing::Test {
protected:
    static boost::shared_ptr<MethodHandlerTag> AnyMethod() { return Method<List>(&List::Count); }
    MemberRegistry registry;
};

TEST_F(TableOf, MethodsNumberedInRegistrationOrderAndFoundByEitherName) {
    registry.AddMethod("Odin", "One", AnyMethod());
    registry.AddMethod("Dva", "Two", AnyMethod());
    EXPECT_EQ(registry.Methods().Count(), 2);
    EXPECT_EQ(registry.Methods().Find("one"), 0);
    EXPECT_EQ(registry.Methods().Find("TWO"), 1);
    EXPECT_EQ(registry.Methods().Find("Tri"), -1);
    EXPECT_EQ(registry.Methods().Find(nullptr), -1);
    EXPECT_TRUE(registry.Methods().HandlerAt(1));
    EXPECT_FALSE(registry.Methods().HandlerAt(2));
    EXPECT_FALSE(registry.Methods().HandlerAt(-1));
}

TEST_F(TableOf, DuplicateNameInOneTableIsRefusedAndChangesNothing) {
    registry.AddMethod("Alpha", "Beta", AnyMethod());
    EXPECT_THROW(registry.AddMethod("ALPHA", "Gamma", AnyMethod()), std::logic_error);
    EXPECT_THROW(registry.AddMethod("Delta", "bEtA", AnyMethod()), std::logic_error);
    EXPECT_EQ(registry.Methods().Count(), 1);
    EXPECT_EQ(registry.Methods().Find("gamma"), -1);
    EXPECT_EQ(registry.Methods().Find("delta"), -1);
    EXPECT_EQ(registry.Methods().NameAt(1, kRussian), nullptr);
    // A later valid registration still takes the next index.
    registry.AddMethod("Delta", "Epsilon", AnyMethod());
    EXPECT_EQ(registry.Methods().Find("delta"), 1);
}

TEST_F(TableOf, MethodsAndPropertiesMayShareNamesAndIndexes) {
    registry.AddMethod("Imya", "Name", AnyMethod());
    registry.AddProperty("Imya", "Name", Property<Item>(&Item::GetName));
    EXPECT_EQ(registry.Methods().Find("name"), 0);
    EXPECT_EQ(registry.Properties().Find("name"), 0);
}

TEST_F(TableOf, NameSpelledAlikeInBothLanguagesIsOneKey) {
    registry.AddMethod("OleDb", "OLEDB", AnyMethod());
    EXPECT_EQ(registry.Methods().Find("oledb"), 0);
    EXPECT_STREQ(registry.Methods().NameAt(0, kRussian), "oledb");
    EXPECT_STREQ(registry.Methods().NameAt(0, kEnglish), "oledb");
}

TEST_F(TableOf, MemberWithoutHandlerOrNameIsRefused) {
    EXPECT_THROW(registry.AddMethod("X", "Y", nullptr), std::logic_error);
    EXPECT_THROW(registry.AddMethod(nullptr, "Y", AnyMethod()), std::logic_error);
    EXPECT_EQ(registry.Methods().Count(), 0);
    EXPECT_EQ(registry.Methods().Find("y"), -1);
}

TEST_F(TableOf, NamesReadBackAreStableThroughGrowth) {
    registry.AddMethod("First", "Erste", AnyMethod());
    const char* first = registry.Methods().NameAt(0, kEnglish);
    for (int i = 0; i < 300; ++i)  // well past the initial size: the map rehashes
        registry.AddMethod(("r" + std::to_string(i)).c_str(), ("e" + std::to_string(i)).c_str(), AnyMethod());
    EXPECT_EQ(registry.Methods().NameAt(0, kEnglish), first);
    EXPECT_STREQ(first, "erste");
    EXPECT_EQ(registry.Methods().Find("E299"), 300);
}

using ScriptNames = ContextTest;

TEST_F(ScriptNames, PropertyFoundByEitherLanguageInAnyCase) {
    CContext<Item> item;
    for (const std::string& name : {std::string("Name"), std::string("NAME"), std::string("name"),
                                    std::string("nAmE"), Cp("ИМЯ"), Cp("Имя"), Cp("имя"), Cp("иМя")})
        EXPECT_EQ(item.LookupProperty(name.c_str()), 0) << name;
    EXPECT_EQ(item.LookupProperty("Count"), -1);  // another class's member
    EXPECT_EQ(item.LookupMethod("Name"), -1);     // a property is not a method
    EXPECT_EQ(item.LookupProperty("Nam"), -1);    // never completed
    EXPECT_EQ(item.LookupProperty(nullptr), -1);
}

TEST_F(ScriptNames, YoDoesNotMatchSmallYo) {
    CContext<Provider> provider;
    EXPECT_EQ(provider.LookupProperty(Cp("Ёлка").c_str()), 1);
    EXPECT_EQ(provider.LookupProperty(Cp("ЁЛКА").c_str()), 1);
    EXPECT_EQ(provider.LookupProperty(Cp("ёлка").c_str()), -1);
    EXPECT_EQ(provider.LookupProperty(Cp("Елка").c_str()), -1);
}

TEST_F(ScriptNames, NamesByIndexComeBackFoldedPerLanguage) {
    CContext<Item> item;
    EXPECT_EQ(std::string(item.PropertyNameAt(0, 0)), Cp("имя"));
    EXPECT_STREQ(item.PropertyNameAt(0, 1), "name");
    EXPECT_EQ(item.PropertyNameAt(0, 2), nullptr);
    EXPECT_EQ(item.PropertyNameAt(0, -1), nullptr);
    EXPECT_EQ(item.PropertyNameAt(1, 0), nullptr);
    EXPECT_EQ(item.PropertyNameAt(-1, 1), nullptr);

    CContext<List> list;
    EXPECT_EQ(std::string(list.MethodNameAt(1, 0)), Cp("получить"));
    EXPECT_STREQ(list.MethodNameAt(1, 1), "getat");
    EXPECT_EQ(list.MethodNameAt(6, 0), nullptr);
    EXPECT_EQ(list.MethodNameAt(-1, 0), nullptr);
    EXPECT_EQ(list.MethodNameAt(0, 2), nullptr);
}

TEST_F(ScriptNames, CountsFollowTheClassTables) {
    CContext<Item> item;
    CContext<List> list;
    CContext<Provider> provider;
    EXPECT_EQ(item.PropertyCount(), 1);
    EXPECT_EQ(item.MethodCount(), 0);
    EXPECT_EQ(list.PropertyCount(), 0);
    EXPECT_EQ(list.MethodCount(), 6);
    EXPECT_EQ(provider.PropertyCount(), 4);
    EXPECT_EQ(provider.MethodCount(), 1);
}

}  // namespace
}  // namespace context_test
