// The row shelf: what it keeps, what it lets go to the heap, and the objects it must not keep alive.
// The shelf is process-wide, so each case works with what it adds and takes back itself.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/provider/row_shelf.h"

namespace {

namespace RowShelf = OleDb::GridProvider::RowShelf;

// A script object that counts its own destruction.
class Probe : public CBLContext {
public:
    explicit Probe(int& deaths) : deaths_(deaths) {}
    ~Probe() override { ++deaths_; }

private:
    int& deaths_;
};

std::vector<CValue> Texts(std::size_t count, const std::string& text) {
    std::vector<CValue> values(count);
    for (CValue& value : values) value = text.c_str();
    return values;
}

// Takes back what a case put on the shelf, so the next case starts from where this one did.
void TakeBack(std::size_t arrays) {
    for (std::size_t i = 0; i < arrays; ++i) RowShelf::TakeValues(0);
}

TEST(RowShelfValues, AKeptArrayComesBackWithItsRoomAndTheCallerOverwritesIt) {
    const std::size_t before = RowShelf::KeptValueArrays();
    std::vector<CValue> values = Texts(3, std::string(RowShelf::kTextBytes, 'a'));
    const CValue* storage = values.data();
    RowShelf::PutValues(values);
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(before + 1, RowShelf::KeptValueArrays());

    std::vector<CValue> again = RowShelf::TakeValues(3);
    EXPECT_EQ(storage, again.data());
    EXPECT_EQ(before, RowShelf::KeptValueArrays());
}

TEST(RowShelfValues, AnArrayTooSmallForTheColumnsStaysAndANewOneIsMade) {
    const std::size_t before = RowShelf::KeptValueArrays();
    std::vector<CValue> small = Texts(2, "x");
    small.shrink_to_fit();
    RowShelf::PutValues(small);
    ASSERT_EQ(before + 1, RowShelf::KeptValueArrays());

    std::vector<CValue> wide = RowShelf::TakeValues(5);
    EXPECT_TRUE(wide.empty());
    EXPECT_GE(wide.capacity(), 5u);
    EXPECT_EQ(before + 1, RowShelf::KeptValueArrays());
    TakeBack(1);
}

TEST(RowShelfValues, LongTextsAndWideArraysGoBackToTheHeap) {
    const std::size_t before = RowShelf::KeptValueArrays();
    std::vector<CValue> long_text = Texts(2, std::string(RowShelf::kTextBytes + 1, 'a'));
    RowShelf::PutValues(long_text);
    EXPECT_EQ(2u, long_text.size());  // left to its owner, who frees it
    std::vector<CValue> wide = Texts(RowShelf::kColumns + 1, "x");
    RowShelf::PutValues(wide);
    EXPECT_EQ(RowShelf::kColumns + 1, wide.size());
    std::vector<CValue> none;
    RowShelf::PutValues(none);
    EXPECT_EQ(before, RowShelf::KeptValueArrays());
}

TEST(RowShelfValues, AShelvedArrayReleasesItsObjectsAtOnce) {
    int deaths = 0;
    std::vector<CValue> values = Texts(2, "x");
    values[1].AssignContext(new Probe(deaths));
    values[1].GetContext()->DecrRef();  // the value holds the only reference
    RowShelf::PutValues(values);
    EXPECT_EQ(1, deaths);
    std::vector<CValue> again = RowShelf::TakeValues(2);
    ASSERT_EQ(2u, again.size());
    EXPECT_EQ(CValue::Kind::Empty, again[1].GetKind());
}

TEST(RowShelfValues, TheShelfKeepsAtMostItsBound) {
    const std::size_t before = RowShelf::KeptValueArrays();
    for (std::size_t i = before; i < RowShelf::kRows; ++i) {
        std::vector<CValue> values = Texts(1, "x");
        RowShelf::PutValues(values);
    }
    ASSERT_EQ(RowShelf::kRows, RowShelf::KeptValueArrays());
    std::vector<CValue> one_more = Texts(1, "x");
    RowShelf::PutValues(one_more);
    EXPECT_EQ(1u, one_more.size());
    EXPECT_EQ(RowShelf::kRows, RowShelf::KeptValueArrays());
    TakeBack(RowShelf::kRows - before);
}

TEST(RowShelfBlocks, ABlockComesBackOnlyForItsOwnSize) {
    const std::size_t before = RowShelf::KeptBlocks();
    void* block = RowShelf::TakeBlock(48);
    RowShelf::PutBlock(block, 48);
    EXPECT_EQ(before + 1, RowShelf::KeptBlocks());
    void* other = RowShelf::TakeBlock(64);
    EXPECT_NE(block, other);
    EXPECT_EQ(before + 1, RowShelf::KeptBlocks());
    EXPECT_EQ(block, RowShelf::TakeBlock(48));
    EXPECT_EQ(before, RowShelf::KeptBlocks());
    ::operator delete(block);
    ::operator delete(other);
}

// A row used after its delete is still an error the sanitizer reports, though its block is kept.
TEST(RowShelfBlocksDeathTest, AShelvedBlockCannotBeTouchedUnderTheAddressSanitizer) {
#if defined(__SANITIZE_ADDRESS__)
    const bool sanitized = true;
#elif defined(__has_feature)
    const bool sanitized = __has_feature(address_sanitizer);
#else
    const bool sanitized = false;
#endif
    if (!sanitized) GTEST_SKIP() << "built without the address sanitizer";
    auto* block = static_cast<volatile char*>(RowShelf::TakeBlock(40));
    RowShelf::PutBlock(const_cast<char*>(block), 40);
    EXPECT_DEATH(block[3] = 'x', "use-after-poison");
    ASSERT_EQ(const_cast<char*>(block), RowShelf::TakeBlock(40));  // unpoisoned again, back with the caller
    block[3] = 'y';
    EXPECT_EQ('y', block[3]);
    ::operator delete(const_cast<char*>(block));
}

}  // namespace
