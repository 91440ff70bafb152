// The statement pool: statements come back ready to run again, one holder at a time per statement,
// at most kIdle kept, and a lease may outlive everyone else's hold on its pool.

#include <memory>

#include "database/database_error.h"
#include "database/statement_pool.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

class StatementPoolTest : public ::testing::Test {
protected:
    sqlite3* db() const { return db_.get(); }

    DbHandle db_ = OpenMemoryDb();  // declared first: closed after the pool's statements are finalized
    std::shared_ptr<StatementPool> pool_ = std::make_shared<StatementPool>(db());
};

TEST_F(StatementPoolTest, ReturnedStatementComesBackResetWithItsParametersCleared) {
    {
        LentStatement lent = pool_->Lend("SELECT ?1");
        lent->BindInt(1, 42);
        ASSERT_TRUE(lent->Step());
        EXPECT_EQ(lent->ColumnInt(0), 42);
    }  // given back while standing on its row
    EXPECT_EQ(pool_->IdleCount(), 1u);
    LentStatement again = pool_->Lend("SELECT ?1");
    EXPECT_EQ(pool_->IdleCount(), 0u);
    ASSERT_TRUE(again->Step()) << "reset: it runs from the start";
    EXPECT_TRUE(again->IsNull(0)) << "the parameter is NULL again";
}

TEST_F(StatementPoolTest, SecondHolderOfTheSameTextGetsAStatementOfItsOwn) {
    LentStatement one = pool_->Lend("SELECT 1");
    LentStatement two = pool_->Lend("SELECT 1");
    EXPECT_NE(&*one, &*two);
    ASSERT_TRUE(one->Step());
    ASSERT_TRUE(two->Step());
    one.Return();
    EXPECT_FALSE(one);
    two.Return();
    EXPECT_EQ(pool_->IdleCount(), 2u);
}

TEST_F(StatementPoolTest, KeepsAtMostKIdleStatementsDroppingTheLeastRecentlyReturned) {
    for (std::size_t i = 0; i <= StatementPool::kIdle; ++i) pool_->Lend("SELECT " + std::to_string(i)).Return();
    EXPECT_EQ(pool_->IdleCount(), StatementPool::kIdle);
    pool_->Lend("SELECT " + std::to_string(StatementPool::kIdle)).Return();  // the newest is still kept
    EXPECT_EQ(pool_->IdleCount(), StatementPool::kIdle);
    pool_->Lend("SELECT 0").Return();  // the oldest was dropped: prepared anew, one more drops
    EXPECT_EQ(pool_->IdleCount(), StatementPool::kIdle);
}

TEST_F(StatementPoolTest, StatementThatCannotBePreparedThrowsAndLeavesThePoolAsItWas) {
    pool_->Lend("SELECT 1").Return();
    EXPECT_THROW(pool_->Lend("SELECT FROM"), DatabaseError);
    EXPECT_EQ(pool_->IdleCount(), 1u);
}

TEST_F(StatementPoolTest, LeaseKeepsItsPoolAliveAfterTheOwnerLetsGo) {
    LentStatement lent = pool_->Lend("SELECT 7");
    std::weak_ptr<StatementPool> watch = pool_;
    pool_.reset();
    EXPECT_FALSE(watch.expired());
    ASSERT_TRUE(lent->Step());
    EXPECT_EQ(lent->ColumnInt(0), 7);
    lent.Return();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace rowlark::database::testing
