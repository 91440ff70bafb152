// The flat keys of a QueryRows answer: places by first appearance, byte-exact look-up, and a
// reused instance that keeps nothing of the previous answer.

#include <gtest/gtest.h>

#include <string>

#include "addin/provider/dynamic/answer_keys.h"

namespace dynamic_test {
namespace {

using OleDb::GridProvider::CAnswerKeys;

TEST(AnswerKeys, RepeatedKeyKeepsItsFirstPlaceAndIndexTextButCountsAsARow) {
    CAnswerKeys keys;
    keys.Add("7", "seven");
    keys.Add("3", "three");
    keys.Add("7", "later seven");
    EXPECT_EQ(keys.Rows(), 3u);
    ASSERT_EQ(keys.Count(), 2u);
    EXPECT_EQ(keys.KeyText(0), "7");
    EXPECT_EQ(keys.IndexText(0), "seven");
    EXPECT_EQ(keys.KeyText(1), "3");
    EXPECT_EQ(keys.IndexText(1), "three");
    EXPECT_EQ(keys.Find("7"), 0u);
    EXPECT_EQ(keys.Find("3"), 1u);
}

TEST(AnswerKeys, KeysMatchByteByByteOnly) {
    CAnswerKeys keys;
    keys.Add("abc", "");
    keys.Add("abc ", "");
    keys.Add("ABC", "");
    keys.Add(std::string("ab\0c", 4), "");
    EXPECT_EQ(keys.Count(), 4u);
    EXPECT_EQ(keys.Find("abc ").value_or(99), 1u);
    EXPECT_EQ(keys.Find("ABC").value_or(99), 2u);
    EXPECT_EQ(keys.Find(std::string("ab\0c", 4)).value_or(99), 3u);
    EXPECT_FALSE(keys.Find("ab"));
    EXPECT_FALSE(keys.Find(""));
}

TEST(AnswerKeys, ThousandsOfKeysKeepTheirPlacesAndTextsAsTheRoomGrows) {
    CAnswerKeys keys;
    constexpr std::uint32_t kKeys = 5000;
    for (std::uint32_t i = 0; i < kKeys; ++i) keys.Add(std::to_string(i * 7), "name " + std::to_string(i));
    for (std::uint32_t i = 0; i < kKeys; i += 2) keys.Add(std::to_string(i * 7), "repeat");
    EXPECT_EQ(keys.Rows(), kKeys + kKeys / 2);
    ASSERT_EQ(keys.Count(), kKeys);
    for (std::uint32_t i = 0; i < kKeys; ++i) {
        ASSERT_EQ(keys.Find(std::to_string(i * 7)).value_or(kKeys), i);
        ASSERT_EQ(keys.KeyText(i), std::to_string(i * 7));
        ASSERT_EQ(keys.IndexText(i), "name " + std::to_string(i));
    }
    EXPECT_FALSE(keys.Find("1"));
}

TEST(AnswerKeys, ClearedKeysFindNothingOfTheLastAnswer) {
    CAnswerKeys keys;
    EXPECT_FALSE(keys.Find("1")) << "no answer yet";
    for (int i = 0; i < 200; ++i) keys.Add(std::to_string(i), "old");
    keys.Clear();
    EXPECT_TRUE(keys.IsEmpty());
    EXPECT_EQ(keys.Rows(), 0u);
    EXPECT_FALSE(keys.Find("1"));
    keys.Add("150", "new");
    keys.Add("1", "new one");
    EXPECT_EQ(keys.Find("150"), 0u);
    EXPECT_EQ(keys.Find("1"), 1u);
    EXPECT_EQ(keys.IndexText(1), "new one");
    EXPECT_FALSE(keys.Find("2"));
}

}  // namespace
}  // namespace dynamic_test
