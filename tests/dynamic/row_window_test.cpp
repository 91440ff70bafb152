// The row window on its own: one load over the items table, what it leaves in the window and in the
// current result, and the key column it keeps between loads.

#include "addin/host/services.h"
#include "addin/provider/dynamic/row_window.h"
#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

using OleDb::GridProvider::CRowWindow;
using OleDb::GridProvider::DynamicSettings;
using test_support::RaisedErrors;
using Keys = std::vector<std::string>;

class RowWindow : public DynamicTest {
protected:
    void SetUp() override {
        DynamicTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        settings_.query_text = Cp("SELECT name, id FROM items WHERE id IN (%СписокИД%) ORDER BY id");
        settings_.real_table = "items";
        settings_.index_tag = "code";
        settings_.query_key_field = "id";
        settings_.base_key_field = "id";
        command_ = OleDb::CCommandProxy(data_->CreateCommand());
    }

    bool Load(int count, const CDynamicDataRow* start = nullptr, bool inclusive = false) {
        return window_.Load(settings_, command_, start, count, inclusive);
    }

    // Takes every entry; for each, the key text and the id the result row it names carries.
    std::vector<std::pair<std::string, long>> Take() {
        std::vector<std::pair<std::string, long>> taken;
        while (!window_.IsEmpty()) {
            const auto& entry = window_.Front();
            CValue id;
            EXPECT_TRUE(result_.GetRow(static_cast<long>(entry.number)));
            EXPECT_TRUE(result_.GetFieldValue(1, id));
            taken.emplace_back(entry.key_text, static_cast<long>(id.GetNumeric()));
            window_.PopFront();
        }
        return taken;
    }

    DynamicSettings settings_;
    OleDb::CCommandProxy command_;
    OleDb::CResultDirectAccessProxy result_;
    CRowWindow window_{result_, *GetSystemInterface(), *GetUserInterface()};
};

TEST_F(RowWindow, EntriesFollowTheAnswerAndNameTheResultRowOfTheirKey) {
    EXPECT_TRUE(Load(3));
    EXPECT_TRUE(result_.IsValid());
    EXPECT_EQ(Take(), (std::vector<std::pair<std::string, long>>{{"10", 10}, {"9", 9}, {"8", 8}}))
        << "the row query orders by id upwards; the window keeps the tag's order";
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(RowWindow, BackwardsFromAStartRowAndInclusiveOfIt) {
    ASSERT_TRUE(Load(5));
    window_.PopFront();
    window_.PopFront();
    const auto& third = window_.Front();  // key 8
    const CDynamicDataRow start(third.index_text, third.key_text, OleDb::CResultDirectAccessProxy(), nullptr);
    ASSERT_TRUE(Load(-2, &start));
    EXPECT_EQ(Take(), (std::vector<std::pair<std::string, long>>{{"9", 9}, {"10", 10}}));
    ASSERT_TRUE(Load(1, &start, true));
    EXPECT_EQ(Take(), (std::vector<std::pair<std::string, long>>{{"8", 8}}));
}

TEST_F(RowWindow, AnswerWithoutKeysPlacesNothingAndLeavesNoResult) {
    ASSERT_TRUE(Load(2));
    settings_.filter_from = "Z";
    EXPECT_FALSE(Load(2));
    EXPECT_TRUE(window_.IsEmpty()) << "the previous window is gone";
    EXPECT_FALSE(result_.IsValid());
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(RowWindow, KeyColumnIsKeptUntilForgotten) {
    ASSERT_TRUE(Load(1));
    settings_.query_key_field = "nope";
    EXPECT_TRUE(Load(2)) << "the key column found by the first load still serves";
    EXPECT_EQ(Take().size(), 2u);

    window_.ForgetKeyColumn();
    EXPECT_FALSE(Load(2));
    EXPECT_EQ(RaisedErrors(), Keys{"В полученном наборе данных отсутствует ключевое поле (nope)"});
    EXPECT_TRUE(window_.IsEmpty());
    EXPECT_TRUE(result_.IsValid()) << "the row query's result stays current";

    settings_.query_key_field = "id";
    host_errors::Clear();
    EXPECT_TRUE(Load(2)) << "a failed lookup is tried again by the next load";
    EXPECT_EQ(Take().size(), 2u);
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(RowWindow, ErrorInTheRowQueryEndsTheLoadWithAnEmptyWindow) {
    ASSERT_TRUE(Load(2));
    settings_.query_text = "SELECT name, id FROM items";
    EXPECT_FALSE(Load(2));
    EXPECT_EQ(RaisedErrors().size(), 1u);
    EXPECT_TRUE(window_.IsEmpty());

    host_errors::Clear();
    host_errors::SetRaiseThrows(true);
    EXPECT_THROW(Load(2), HostRuntimeError);
    EXPECT_TRUE(window_.IsEmpty()) << "nothing half-placed is left by a throwing error";
}

}  // namespace
}  // namespace dynamic_test
