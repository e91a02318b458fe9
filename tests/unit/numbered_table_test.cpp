#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/numbered_table.h"

namespace {

using brindle::NumberedTable;

std::vector<int> keysOf(NumberedTable<int, std::string>& table) {
    std::vector<int> keys;
    for (const auto& [key, value] : table) keys.push_back(key);
    return keys;
}

TEST(NumberedTable, KeepsRecordsInTheNumbersOrderAndFindsOnlyThoseAdded) {
    NumberedTable<int, std::string> table;
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.find(7), nullptr);
    for (const int key : {30, 10, 20, 5, 40}) table[key] = "record " + std::to_string(key);
    EXPECT_EQ(keysOf(table), (std::vector<int>{5, 10, 20, 30, 40}));
    table[20] += " again";  // an existing record, not a second one
    EXPECT_EQ(keysOf(table).size(), 5u);
    ASSERT_NE(table.find(20), nullptr);
    EXPECT_EQ(*table.find(20), "record 20 again");
    EXPECT_EQ(table.find(25), nullptr);
    EXPECT_EQ(table.find(41), nullptr);
    EXPECT_EQ(table[15], "");  // asked for, added empty
    table.eraseIf([](const auto& row) { return row.first % 10 != 0; });
    EXPECT_EQ(keysOf(table), (std::vector<int>{10, 20, 30, 40}));
}

TEST(NumberedTable, OrdersPairKeysByTheirFirstNumberThenTheSecond) {
    NumberedTable<std::pair<int, int>, int> table;
    table[{1, 144}] = 3;
    table[{0, 96}] = 1;
    table[{1, 96}] = 2;
    std::vector<int> values;
    for (const auto& [key, value] : table) values.push_back(value);
    EXPECT_EQ(values, (std::vector<int>{1, 2, 3}));
    ASSERT_NE(table.find({1, 144}), nullptr);
    EXPECT_EQ(*table.find({1, 144}), 3);
    EXPECT_EQ(table.find({144, 1}), nullptr);
}

}  // namespace
