// The whole road over a real SQLite file of sample goods: the grid scrolls the whole table in
// windows of 50, forwards and backwards, and sees every row exactly once, in index order.

#include <set>

#include "database/sample_goods.h"
#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

constexpr std::int64_t kGoods = 3000;
constexpr int kWindow = 50;

class DynamicWholeRoad : public DynamicTest {
protected:
    void BuildDatabase() override {
        rowlark::database::GoodsOptions options;
        options.rows = kGoods;
        options.seed = 7;
        backend_->WriteGoods(options);
        // The tag's order, computed by SQL without the tag: the order the grid must show.
        expected_ = backend_->KeysInTagOrder("goods", "name");
    }

    void SetUp() override {
        DynamicTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        provider_->SetQueryText(Cp("SELECT id, code, name, price FROM goods WHERE id IN (%СписокИД%)"));
        provider_->SetKeyFieldQuery(Cp("ID"));
        provider_->SetKeyFieldBaseTable("id");
        provider_->SetBaseTable("goods");
        provider_->SetIndexTag("NAME");
        provider_->SetConnection(data_.get());
        provider_->GetData();
        ASSERT_TRUE(test_support::RaisedErrors().empty());
    }

    // Pages from start (none: an end of the range) in the direction of step until a short window.
    std::vector<std::string> Scroll(RowPtr start, int step) {
        std::vector<std::string> keys;
        for (;;) {
            provider_->PrepareRows(start.get(), step, 0);
            int taken = 0;
            while (RowPtr row = Next()) {
                keys.push_back(Utf(Dyn(row).GetKeyText()));
                EXPECT_EQ(Cell(*row, 0), keys.back()) << "the row's values belong to its key";
                start = std::move(row);
                ++taken;
            }
            if (taken < std::abs(step)) return keys;
        }
    }

    std::vector<std::string> expected_;  // ids in the tag's order
};

TEST_F(DynamicWholeRoad, ForwardScrollShowsEveryRowOnceInIndexOrder) {
    ASSERT_EQ(expected_.size(), static_cast<std::size_t>(kGoods));
    RowPtr first = Next();
    ASSERT_NE(first, nullptr);
    std::vector<std::string> keys{Utf(Dyn(first).GetKeyText())};
    const std::vector<std::string> rest = Scroll(std::move(first), kWindow);
    keys.insert(keys.end(), rest.begin(), rest.end());
    EXPECT_EQ(keys, expected_);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(DynamicWholeRoad, BackwardScrollShowsEveryRowOnceInReverseOrder) {
    const std::vector<std::string> keys = Scroll(nullptr, -kWindow);
    EXPECT_EQ(keys, std::vector<std::string>(expected_.rbegin(), expected_.rend()));
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(DynamicWholeRoad, TurningBackMidwayRetracesTheSameRows) {
    provider_->PrepareRows(nullptr, kWindow, 0);
    RowPtr last;
    std::vector<std::string> down;
    while (RowPtr row = Next()) {
        down.push_back(Utf(Dyn(row).GetKeyText()));
        last = std::move(row);
    }
    ASSERT_EQ(down.size(), static_cast<std::size_t>(kWindow));
    std::vector<std::string> up = Scroll(std::move(last), -kWindow);
    up.insert(up.begin(), down.back());
    EXPECT_EQ(up, std::vector<std::string>(down.rbegin(), down.rend()));
}

}  // namespace
}  // namespace dynamic_test
