#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/object_index.h"

namespace quill {
namespace {

// Each row adds names in order; the map must keep the first value of each
// name, answer every added name and no other, and survive growing.
TEST(NameMapTest, KeepsFirstValueAndFindsEveryName) {
  struct Row {
    const char* what;
    std::vector<std::string> names;
    size_t expected;  // the size hint
  } rows[] = {
      {"nothing", {}, 0},
      {"repeats keep the first", {"a", "b", "a", "", "b", ""}, 2},
      {"empty name is a name", {"", "x"}, 0},
      {"grows well past the hint", {}, 1},
  };
  for (int i = 0; i < 2000; ++i) rows[3].names.push_back("n" + std::to_string(i % 1500));
  for (const Row& row : rows) {
    NameMap<int> map(row.expected);
    std::vector<int> first_index;
    for (size_t i = 0; i < row.names.size(); ++i) {
      auto [value, added] = map.try_emplace(row.names[i], static_cast<int>(i));
      size_t first = 0;
      while (row.names[first] != row.names[i]) ++first;
      EXPECT_EQ(added, first == i) << row.what << " at " << i;
      EXPECT_EQ(*value, static_cast<int>(first)) << row.what << " at " << i;
    }
    for (size_t i = 0; i < row.names.size(); ++i) {
      const int* found = map.find(row.names[i]);
      ASSERT_NE(found, nullptr) << row.what << ": " << row.names[i];
      EXPECT_EQ(row.names[static_cast<size_t>(*found)], row.names[i]) << row.what;
    }
    EXPECT_EQ(map.find("absent"), nullptr) << row.what;
    EXPECT_EQ(map.find("n1500"), nullptr) << row.what;
  }
}

// Values move when the table grows; what a later find returns must be the
// value as last written, not a stale copy.
TEST(NameMapTest, WritesThroughFindSurviveGrowth) {
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("k" + std::to_string(i));
  NameMap<std::vector<int>> map;
  for (size_t i = 0; i < names.size(); ++i) {
    map.try_emplace(names[i], {}).first->push_back(static_cast<int>(i));
    map.find(names[0])->push_back(static_cast<int>(i));
  }
  EXPECT_EQ(map.size(), names.size());
  EXPECT_EQ(map.find(names[0])->size(), names.size() + 1);
  EXPECT_EQ(*map.find(names[299]), std::vector<int>{299});
}

}  // namespace
}  // namespace quill
