// Finding a result's column by name, the one lookup both providers use for their key column.

#include <optional>

#include "addin/host/services.h"
#include "tests/provider/provider_probe.h"

using OleDb::GridProvider::CProvider;
using test_support::Cp;
using test_support::ProbeProvider;
using test_support::RaisedErrors;

namespace {

class KeyColumn : public test_support::HostTest {
protected:
    test_support::TestDatabase db;
};

TEST_F(KeyColumn, NameMatchesWholeAndByteForByteAndTheFirstOfTwinsWins) {
    ProbeProvider provider;
    // The layer names the columns id, код, kod, код, i and Ёж.
    provider.Load(db.connection(), "SELECT 1 AS id, 2 AS Код, 3 AS kod, 4 AS код, 5 AS i, 6 AS Ёж");
    const auto& result = provider.result();
    EXPECT_EQ(CProvider::FindColumn(result, "id"), std::optional<std::uint32_t>(0));
    EXPECT_EQ(CProvider::FindColumn(result, Cp("код")), std::optional<std::uint32_t>(1)) << "not the later twin";
    EXPECT_EQ(CProvider::FindColumn(result, "kod"), std::optional<std::uint32_t>(2));
    EXPECT_EQ(CProvider::FindColumn(result, "i"), std::optional<std::uint32_t>(4)) << "not a prefix of id";
    EXPECT_EQ(CProvider::FindColumn(result, Cp("Ёж")), std::optional<std::uint32_t>(5));
    EXPECT_EQ(CProvider::FindColumn(result, Cp("Код")), std::nullopt) << "letter case counts";
    EXPECT_EQ(CProvider::FindColumn(result, Cp("ёж")), std::nullopt);
    EXPECT_EQ(CProvider::FindColumn(result, "ID"), std::nullopt);
    EXPECT_EQ(CProvider::FindColumn(result, ""), std::nullopt);
    EXPECT_TRUE(RaisedErrors().empty()) << "a plain lookup raises nothing";
}

TEST_F(KeyColumn, MissingKeyFieldIsRaisedWithItsName) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT 1 AS id, 2 AS name");
    EXPECT_EQ(CProvider::FindKeyColumn(provider.result(), "name", *GetSystemInterface()),
              std::optional<std::uint32_t>(1));
    EXPECT_TRUE(RaisedErrors().empty());

    EXPECT_EQ(CProvider::FindKeyColumn(provider.result(), Cp("ид"), *GetSystemInterface()), std::nullopt);
    EXPECT_EQ(RaisedErrors(), std::vector<std::string>{"В полученном наборе данных отсутствует ключевое поле (ид)"});
}

TEST_F(KeyColumn, ResultThatIsNotValidHasNoColumns) {
    const OleDb::CResultDirectAccessProxy none;
    EXPECT_EQ(CProvider::FindColumn(none, ""), std::nullopt);
    EXPECT_EQ(CProvider::FindKeyColumn(none, "id", *GetSystemInterface()), std::nullopt);
    EXPECT_EQ(RaisedErrors(), std::vector<std::string>{"В полученном наборе данных отсутствует ключевое поле (id)"});
}

}  // namespace
