#include "import/KeyTable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace conv
{
namespace
{

// Keys of the lengths where the table changes how it keeps them (in the slot up to 16 bytes, in
// the arena beyond), keys that differ only past the inline part, and the empty key.
std::vector<std::string> awkwardKeys()
{
    return {"",
            "A",
            std::string(1, '\0'),
            std::string("A\0B", 3),
            "ABCDEFGHIJKLMNOP",  // 16: the longest kept in the slot
            "ABCDEFGHIJKLMNOPQ", // 17: the shortest in the arena
            "ABCDEFGHIJKLMNOPR", // differs from the one above in its last byte only
            "ABCDEFGHIJKLMNOP ", // a trailing blank counts
            "abcdefghijklmnop",  // case counts
            std::string(300, 'x'),
            std::string(299, 'x')};
}

TEST(KeyTable, KeepsTheFirstValueOfEveryKeyThroughGrowth)
{
    // Checked against std::map over enough keys to grow the table many times, the awkward ones
    // inserted first so that they are moved by every growth.
    KeyTable<int> table;
    std::map<std::string, int> expected;
    std::vector<std::string> keys = awkwardKeys();
    for (int i = 0; i < 20000; ++i)
        keys.push_back((i % 3 ? "K" : "LONGER-THAN-SIXTEEN-") + std::to_string(i % 15000));
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto [value, inserted] = table.insert(keys[i], static_cast<int>(i));
        const auto [it, isNew] = expected.try_emplace(keys[i], static_cast<int>(i));
        ASSERT_EQ(inserted, isNew) << keys[i];
        ASSERT_EQ(*value, it->second) << keys[i];
    }
    EXPECT_EQ(table.size(), expected.size());
    for (const auto& [key, value] : expected) {
        const int* found = table.find(key);
        ASSERT_NE(found, nullptr) << key;
        EXPECT_EQ(*found, value) << key;
    }
    for (const std::string& absent :
         std::vector<std::string>{"K15000", "LONGER-THAN-SIXTEEN-1", "ABCDEFGHIJKLMNO", std::string(301, 'x'), "B"})
        EXPECT_FALSE(table.contains(absent)) << absent;
}

TEST(KeyTable, EmptyAndReservedTablesAnswerAlike)
{
    for (const std::size_t reserve : {std::size_t(0), std::size_t(1), std::size_t(1000)}) {
        KeyTable<std::string> table;
        table.reserve(reserve);
        EXPECT_EQ(table.find("A"), nullptr);
        for (const std::string& key : awkwardKeys())
            table[key] = "value of " + key;
        for (const std::string& key : awkwardKeys()) {
            ASSERT_NE(table.find(key), nullptr) << key;
            EXPECT_EQ(*table.find(key), "value of " + key);
        }
        EXPECT_EQ(table.size(), awkwardKeys().size()) << "reserved " << reserve;
    }
}

TEST(KeySet, InsertTellsNewKeys)
{
    KeySet set;
    for (const std::string& key : awkwardKeys())
        EXPECT_TRUE(set.insert(key)) << key;
    for (const std::string& key : awkwardKeys()) {
        EXPECT_FALSE(set.insert(key)) << key;
        EXPECT_TRUE(set.contains(key)) << key;
    }
    EXPECT_EQ(set.size(), awkwardKeys().size());
}

} // namespace
} // namespace conv
