// The storage under the model's lists: pooled place arrays, list growth and
// shrinking over them, recycled Variables, and element variable lists that
// exist only while in use.
#include "model/storage_rooms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/elements.h"
#include "model/items.h"
#include "tests/model/model_builder.h"

namespace quill {
namespace {

using namespace quill::testing;

TEST(StorageRoomsTest, RoomSizes) {
  const struct {
    size_t asked, given;
  } rows[] = {{1, 8},    {8, 8},     {9, 16},    {16, 16},   {17, 24},  {33, 40},
              {100, 104}, {497, 504}, {512, 512}, {513, 513}, {5000, 5000}};
  for (const auto& row : rows)
    EXPECT_EQ(RoomStock::room_for(row.asked), row.given) << "asked " << row.asked;
}

// Rooms in use never overlap, whatever their sizes; a room given back is
// handed out again for its own size only.
TEST(StorageRoomsTest, RoomsInUseAreDistinctAndReused) {
  const size_t sizes[] = {16, 32, 8, 512, 40, 1024, 16, 128, 80, 504, 24};
  std::vector<std::pair<unsigned char*, size_t>> held;
  for (size_t i = 0; i < 200; ++i) {
    const size_t bytes = sizes[i % std::size(sizes)];
    auto* room = static_cast<unsigned char*>(RoomStock::take(bytes));
    std::memset(room, static_cast<int>(i), bytes);
    held.emplace_back(room, bytes);
  }
  for (size_t i = 0; i < held.size(); ++i)
    for (size_t b = 0; b < held[i].second; ++b)
      ASSERT_EQ(held[i].first[b], static_cast<unsigned char>(i)) << "room " << i << " byte " << b;

  void* small = held[0].first;
  RoomStock::give(held[0].first, 16);
  void* other_size = RoomStock::take(32);
  EXPECT_NE(other_size, small);
  EXPECT_EQ(RoomStock::take(16), small);
  RoomStock::give(other_size, 32);
  RoomStock::give(small, 16);
  for (size_t i = 1; i < held.size(); ++i) RoomStock::give(held[i].first, held[i].second);
  RoomStock::give(nullptr, 16);
}

std::string names_of(const ItemList& list) {
  std::string names;
  for (const Variable& v : list.variables()) names += v.name().text() + "=" + v.value() + " ";
  return names;
}

// Items keep their addresses while the place array grows and shrinks under
// them, in the order they were appended, and stay findable.
TEST(StorageRoomsTest, ListGrowsAndShrinksAroundItsItems) {
  for (size_t n : {1u, 2u, 3u, 16u, 33u, 100u}) {
    ItemList list;
    std::vector<Variable*> added;
    std::string expected;
    for (size_t i = 0; i < n; ++i) {
      const std::string name = "v" + std::to_string(i);
      added.push_back(&list.add_variable(name, std::to_string(i)));
      expected += name + "=" + std::to_string(i) + " ";
    }
    ASSERT_EQ(list.count(), n);
    EXPECT_EQ(names_of(list), expected) << n;
    for (size_t i = 0; i < n; ++i) {
      EXPECT_EQ(list.find("v" + std::to_string(i)), added[i]) << n << " item " << i;
      EXPECT_EQ(&list.at(i), added[i]) << n << " item " << i;
    }
    list.remove(added[n / 2]);
    EXPECT_EQ(list.count(), n - 1);
    EXPECT_EQ(list.find("v" + std::to_string(n / 2)), nullptr) << n;
    for (size_t i = 0; i < n; ++i) {
      if (i == n / 2) continue;
      EXPECT_EQ(list.find("v" + std::to_string(i)), added[i]) << n << " item " << i;
    }
  }
}

// Emptied lists are used again: a clear keeps the room, a release gives it
// back, a move leaves the source empty but usable. Recycled Variables carry
// nothing over from their former lives.
TEST(StorageRoomsTest, EmptiedListsAreUsedAgain) {
  struct Row {
    const char* how;
    void (*empty)(ItemList& list, ItemList& other);
  };
  const Row rows[] = {
      {"clear", [](ItemList& l, ItemList&) { l.clear(); }},
      {"release", [](ItemList& l, ItemList&) { l.release(); }},
      {"moved out", [](ItemList& l, ItemList& o) { o = std::move(l); }},
      {"moved into a new list", [](ItemList& l, ItemList&) { ItemList gone(std::move(l)); }},
  };
  for (const Row& row : rows) {
    ItemList list, other;
    for (int i = 0; i < 5; ++i) list.add_variable("old" + std::to_string(i), std::string(40, 'x'));
    const std::uint64_t before = list.version();
    row.empty(list, other);
    EXPECT_TRUE(list.empty()) << row.how;
    EXPECT_NE(list.version(), before) << row.how;
    EXPECT_EQ(list.find("old1"), nullptr) << row.how;
    list.add_variable("a", "1");
    list.set("b", "2");
    list.set("a", "3");
    EXPECT_EQ(names_of(list), "a=3 b=2 ") << row.how;
  }
}

TEST(StorageRoomsTest, MovedListKeepsItemsAndNames) {
  ItemList source;
  Variable& a = source.add_variable("a", "1");
  source.add_text("t");
  ItemList target;
  target.add_variable("gone", "x");
  target = std::move(source);
  EXPECT_EQ(target.find("a"), &a);
  EXPECT_EQ(target.find("gone"), nullptr);
  EXPECT_EQ(target.text(), "a = 1  \r\nt\r\n");
  EXPECT_EQ(source.find("a"), nullptr);
}

// An element's list exists only between a request and its release; every
// fill after a release behaves like the first, however often it is repeated.
TEST(StorageRoomsTest, ElementListIsMadeAndFreedRepeatedly) {
  Model model("m");
  Attribute& a = add_attribute(add_object(model, "Shape"), "size", "int");
  a.set_characteristic_only("unit", "mm");
  EXPECT_TRUE(a.cached_variables().empty()) << "nothing made before a request";
  const std::string filled = a.scope_variables("at").text();
  for (int round = 0; round < 3; ++round) {
    a.release_variables();
    EXPECT_TRUE(a.cached_variables().empty()) << round;
    EXPECT_EQ(a.remembered_prefix(), "at") << round;
    EXPECT_EQ(a.scope_variables("at").text(), filled) << round;
  }
  // A list asked for without a scope request is not the iterators' to free.
  Attribute& b = add_attribute(add_object(model, "Box"), "side", "int");
  b.variables("bt");
  b.release_variables();
  EXPECT_FALSE(b.cached_variables().empty());
}

}  // namespace
}  // namespace quill
