#include <memory>

#include "addin/provider/fields_collection.h"
#include "tests/provider/provider_probe.h"

using OleDb::GridProvider::CFieldsCollection;
using test_support::Cp;
using test_support::ProbeProvider;
using test_support::RaisedErrors;

namespace {

const char* const kBadIndex = "Неверный индекс поля";

class Fields : public test_support::HostTest {
protected:
    test_support::TestDatabase db;
};

TEST_F(Fields, ThreeColumnsAreReachedByOneBasedIndex) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT 1 AS id, 'x' AS Имя, 2.5 AS price");
    auto fields = provider.GetFields();
    EXPECT_EQ(3u, fields->Count());
    EXPECT_EQ("id", fields->GetAt(1)->GetName());
    EXPECT_EQ(0u, fields->GetAt(1)->GetNumber());
    EXPECT_EQ(Cp("имя"), fields->GetAt(2)->GetName());  // the layer names columns in small letters
    EXPECT_EQ("price", fields->GetAt(3)->GetName());
    EXPECT_TRUE(RaisedErrors().empty());

    EXPECT_EQ(nullptr, fields->GetAt(4));
    EXPECT_EQ(nullptr, fields->GetAt(0));
    EXPECT_EQ(nullptr, fields->GetAt(4294967295u));
    EXPECT_EQ((std::vector<std::string>{kBadIndex, kBadIndex, kBadIndex}), RaisedErrors());
}

TEST_F(Fields, RepeatedColumnNameMakesTheLastColumnUnreachable) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT 1 AS a, 2 AS b, 3 AS c, 4 AS b, 5 AS e");
    auto fields = provider.GetFields();
    ASSERT_EQ(4u, fields->Count());
    EXPECT_EQ("c", fields->GetAt(3)->GetName());
    EXPECT_EQ(nullptr, fields->GetAt(4));  // number 3 is the dropped repeat
    EXPECT_EQ(nullptr, fields->GetAt(5));  // above Count
    EXPECT_EQ(2u, RaisedErrors().size());
    const auto& by_number = provider.GetFieldSet()->get<OleDb::GridProvider::ByNumber>();
    EXPECT_EQ(1u, by_number.count(4));
    EXPECT_EQ(0u, by_number.count(3));
}

TEST_F(Fields, NamesDifferingInCaseAreOneFieldButYoStaysApart) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT 1 AS name, 2 AS NAME");  // both "name" from the layer
    EXPECT_EQ(1u, provider.GetFields()->Count());
    provider.Load(db.connection(), "SELECT 1 AS ёж, 2 AS Ёж");  // the layer keeps Ё as the module does
    EXPECT_EQ(2u, provider.GetFields()->Count());
}

TEST_F(Fields, CollectionBeforeAnyLoadCountsZeroAndRefusesEveryIndex) {
    ProbeProvider provider;
    auto fields = provider.GetFields();
    EXPECT_EQ(0u, fields->Count());
    EXPECT_TRUE(RaisedErrors().empty());
    EXPECT_EQ(nullptr, fields->GetAt(1));
    EXPECT_EQ(std::vector<std::string>{kBadIndex}, RaisedErrors());
}

TEST_F(Fields, CollectionMadeBeforeReloadShowsTheNewColumns) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT 1 AS a");
    auto fields = provider.GetFields();
    auto first = fields->GetAt(1);
    provider.Load(db.connection(), "SELECT 1 AS x, 2 AS y");
    EXPECT_EQ(2u, fields->Count());
    EXPECT_EQ("y", fields->GetAt(2)->GetName());
    EXPECT_EQ("a", first->GetName());  // a field handed out earlier keeps its load's name
}

TEST_F(Fields, EveryCallMakesANewCollection) {
    ProbeProvider provider;
    EXPECT_NE(provider.GetFields(), provider.GetFields());
}

TEST_F(Fields, CollectionOutlivingItsProviderBehavesAsBeforeAnyLoad) {
    auto provider = std::make_unique<ProbeProvider>();
    provider->Load(db.connection(), "SELECT 1 AS a, 2 AS b");
    auto fields = provider->GetFields();
    ASSERT_EQ(2u, fields->Count());
    provider.reset();
    EXPECT_EQ(0u, fields->Count());
    EXPECT_EQ(nullptr, fields->GetAt(1));
    EXPECT_EQ(std::vector<std::string>{kBadIndex}, RaisedErrors());
}

TEST_F(Fields, DefaultCollectionIsBoundToNoProvider) {
    CFieldsCollection fields;
    EXPECT_EQ(0u, fields.Count());
}

}  // namespace
