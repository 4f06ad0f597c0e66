#include "model/items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

TEST(ItemsTest, KindsAndTexts) {
  struct Row {
    std::unique_ptr<Item> item;
    int kind;
    std::vector<int> answers_true;
    std::string text;
  } rows[] = {
      {std::make_unique<Item>(), kItemKind, {0}, ""},
      {std::make_unique<TextItem>(), kTextItemKind, {0, 1}, "-unassigned-\r\n"},
      {std::make_unique<TextItem>("abc"), kTextItemKind, {0, 1}, "abc\r\n"},
      {std::make_unique<Variable>(), kVariableKind, {0, 1, 2}, "-unassigned- = -unassigned-  \r\n"},
      {std::make_unique<Variable>("a.b", "x y"), kVariableKind, {0, 1, 2}, "a.b = x y  \r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.item->kind(), row.kind);
    EXPECT_EQ(row.item->text(), row.text);
    for (int k = 0; k <= kSymbolTableKind; ++k) {
      bool expected = std::find(row.answers_true.begin(), row.answers_true.end(), k) !=
                      row.answers_true.end();
      EXPECT_EQ(row.item->is_kind(k), expected) << "kind " << k;
    }
    std::unique_ptr<Item> copy = row.item->clone();
    EXPECT_EQ(copy->kind(), row.kind);
    EXPECT_EQ(copy->text(), row.text);
  }
}

TEST(ItemsTest, ListKeepsOrderAndRemovesTheGivenItem) {
  ItemList list;
  EXPECT_TRUE(list.empty());
  Variable& a = list.add_variable("a", "1");
  Variable& b = list.add_variable("b", "2");
  list.add_variable("a", "3");
  EXPECT_EQ(list.count(), 3u);
  EXPECT_EQ(list.text(), "a = 1  \r\nb = 2  \r\na = 3  \r\n");
  EXPECT_EQ(list.find("a"), &a) << "the earliest entry wins";
  EXPECT_EQ(list.find(InternedName("b")), &b);
  EXPECT_EQ(list.find("c"), nullptr);

  list.remove(&a);
  EXPECT_EQ(list.text(), "b = 2  \r\na = 3  \r\n");
  Variable stranger("b", "2");
  list.remove(&stranger);
  EXPECT_EQ(list.count(), 2u);

  std::string names;
  for (const Variable& v : list.variables()) names += v.name().text();
  EXPECT_EQ(names, "ba");
  list.clear();
  EXPECT_TRUE(list.empty());
}

TEST(ItemsTest, SetReplacesInPlaceOrAppends) {
  ItemList list;
  list.set("x", "1");
  list.set("y", "2");
  list.set("x", "3");
  EXPECT_EQ(list.text(), "x = 3  \r\ny = 2  \r\n");

  ItemList copy;
  copy.add_variable("old", "0");
  copy.copy_from(list);
  EXPECT_EQ(copy.text(), list.text());
  copy.set("x", "9");
  EXPECT_EQ(list.find("x")->value(), "3");
}

// Names given as text pass through a small table of recent names, where
// names of one length with the same first and last bytes share a place:
// each must still come out as itself, in any order of use.
TEST(ItemsTest, NamesGivenAsTextKeepTheirIdentity) {
  const char* names[] = {"abc", "axc", "abc", "a-c", "axc", "", "obj", "", "abc"};
  ItemList list;
  for (const char* name : names) list.set(name, std::string(name) + "!");
  EXPECT_EQ(list.text(), "abc = abc!  \r\naxc = axc!  \r\na-c = a-c!  \r\n = !  \r\n"
                         "obj = obj!  \r\n");
  for (const char* name : names) {
    const Variable* found = list.find(InternedName(name));
    ASSERT_NE(found, nullptr) << name;
    EXPECT_EQ(found->name().text(), name);
    EXPECT_EQ(list.add_variable(name, "").name(), InternedName(name)) << name;
  }
}

// Lists recycle the items they destroy; every way an item leaves a list
// must leave the list, and the lists that later reuse the item, consistent.
TEST(ItemsTest, ListsStayConsistentWhenItemsAreRecycled) {
  struct Row {
    const char* what;
    void (*change)(ItemList& list);
    const char* text;  // the list's text after the change
    const char* absent;  // a name find must no longer see
  } rows[] = {
      {"clear", [](ItemList& l) { l.clear(); }, "", "a"},
      {"release", [](ItemList& l) { l.release(); }, "", "b"},
      {"remove first", [](ItemList& l) { l.remove(l.find("a")); }, "b = 2  \r\nz\r\nc = 3  \r\n", "a"},
      {"remove text", [](ItemList& l) { l.remove(&l.at(2)); }, "a = 1  \r\nb = 2  \r\nc = 3  \r\n", "zz"},
      {"move away",
       [](ItemList& l) {
         ItemList other(std::move(l));
         EXPECT_EQ(other.count(), 4u);
       },
       "", "c"},
      {"move onto",
       [](ItemList& l) {
         ItemList other;
         other.add_variable("q", "9");
         l = std::move(other);
       },
       "q = 9  \r\n", "a"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ItemList list;
    list.add_variable("a", "1");
    list.add_variable("b", "2");
    list.add_text("z");
    list.add_variable(InternedName("c"), "3");
    const std::uint64_t before = list.version();
    row.change(list);
    EXPECT_NE(list.version(), before);
    EXPECT_EQ(list.text(), row.text);
    EXPECT_EQ(list.find(row.absent), nullptr);
    EXPECT_EQ(list.find(InternedName(row.absent)), nullptr);
    EXPECT_FALSE(list.empty() && list.may_hold(InternedName("a"))) << "an empty list holds nothing";

    // New items take recycled storage: they must show only their own name and value.
    Variable& fresh = list.add_variable("fresh", std::string(300, 'x'));
    Variable& small = list.add_variable(InternedName("small"), "s");
    EXPECT_EQ(fresh.value(), std::string(300, 'x'));
    EXPECT_EQ(small.name().text(), "small");
    EXPECT_EQ(small.value(), "s");
    EXPECT_EQ(list.find(InternedName("small")), &small);
    EXPECT_EQ(list.find("fresh"), &fresh);
  }
}

// The name summary must never hide a Variable: every name added, in any
// number, stays findable, and the earliest of equal names wins.
TEST(ItemsTest, FindSeesEveryNameOfLargeLists) {
  for (size_t n : {1u, 7u, 64u, 300u}) {
    ItemList list;
    std::vector<Variable*> added;
    for (size_t i = 0; i < n; ++i) added.push_back(&list.add_variable("v" + std::to_string(i), "x"));
    list.add_variable("v0", "later");
    for (size_t i = 0; i < n; ++i) {
      const std::string name = "v" + std::to_string(i);
      ASSERT_TRUE(list.may_hold(InternedName(name))) << n << " " << name;
      ASSERT_EQ(list.find(InternedName(name)), added[i]) << n << " " << name;
    }
    EXPECT_EQ(list.find("v0")->value(), "x");
    list.remove(added[0]);
    EXPECT_EQ(list.find(InternedName("v0"))->value(), "later") << n;
  }
}

// Long lists are searched through an index by name that appends keep and
// every other change remakes: each kind of change is followed by searches.
TEST(ItemsTest, LongListsFindTheFirstOfEachNameAfterEveryKindOfChange) {
  auto name = [](size_t i) { return InternedName("n" + std::to_string(i)); };
  auto fill = [&](ItemList& list, size_t from, size_t to, const char* value) {
    for (size_t i = from; i < to; ++i) list.add_variable(name(i), value);
  };
  auto expect_first = [&](const ItemList& list, size_t to, const char* value, const char* step) {
    for (size_t i = 0; i < to; ++i) {
      const Variable* v = list.find(name(i));
      ASSERT_NE(v, nullptr) << step << " " << i;
      ASSERT_EQ(v->value(), value) << step << " " << i;
    }
    EXPECT_EQ(list.find(name(to + 5000)), nullptr) << step;
  };
  ItemList list;
  fill(list, 0, 200, "a");
  expect_first(list, 200, "a", "made");
  fill(list, 0, 2000, "b");  // the index grows; names 0-199 keep their first entry
  expect_first(list, 200, "a", "appended");
  EXPECT_EQ(list.find(name(1999))->value(), "b");
  list.remove(list.find(name(3)));
  EXPECT_EQ(list.find(name(3))->value(), "b") << "the later entry after a removal";
  ItemList copies;
  copies.add_variable(name(7), "c");
  copies.append_copies(list);
  EXPECT_EQ(copies.find(name(7))->value(), "c");
  EXPECT_EQ(copies.find(name(1500))->value(), "b");
  ItemList moved(std::move(copies));
  EXPECT_EQ(moved.find(name(7))->value(), "c");
  EXPECT_EQ(copies.find(name(7)), nullptr);
  ItemList assigned;
  fill(assigned, 0, 100, "z");
  assigned = std::move(moved);
  EXPECT_EQ(assigned.find(name(7))->value(), "c");
  EXPECT_EQ(assigned.find(name(1500))->value(), "b");
  list.clear();
  EXPECT_EQ(list.find(name(0)), nullptr);
  fill(list, 0, 300, "d");
  expect_first(list, 300, "d", "refilled");
}

// Items moved from the end into the middle of a long list: order, the first
// of each name (found through the index), and whether only appends happened.
TEST(ItemsTest, MovingTheLastItemsKeepsTheFirstOfEachName) {
  ItemList list;
  for (int i = 0; i < 100; ++i) list.add_variable(InternedName("n" + std::to_string(i)), "old");
  list.add_variable("tail", "old tail");
  ASSERT_NE(list.find("n5"), nullptr);  // the index is made
  const std::uint64_t version = list.version();
  const size_t count = list.count();
  list.add_variable("new", "a");
  list.add_variable("tail", "new tail");  // a second entry of a name the moved stretch passes over
  list.add_variable("n3", "new n3");      // a second entry of a name before the stretch
  EXPECT_TRUE(list.only_appended_since(version, count));
  list.move_last_to(3, 50);
  EXPECT_FALSE(list.only_appended_since(version, count));
  EXPECT_EQ(list.count(), 104u);
  EXPECT_EQ(static_cast<const Variable&>(list.at(49)).name().text(), "n49");
  EXPECT_EQ(static_cast<const Variable&>(list.at(50)).name().text(), "new");
  EXPECT_EQ(static_cast<const Variable&>(list.at(53)).name().text(), "n50");
  EXPECT_EQ(static_cast<const Variable&>(list.at(103)).name().text(), "tail");
  EXPECT_EQ(list.find("new")->value(), "a");
  EXPECT_EQ(list.find("tail")->value(), "new tail") << "the moved entry now comes first";
  EXPECT_EQ(list.find("n3")->value(), "old");
  EXPECT_EQ(list.find("n99")->value(), "old");
  // The same without an index, and moves that change nothing.
  ItemList small;
  small.add_variable("a", "1");
  small.add_variable("b", "2");
  small.move_last_to(1, 0);
  small.move_last_to(0, 0);
  small.move_last_to(2, 0);
  small.move_last_to(1, 5);
  EXPECT_EQ(small.text(), "b = 2  \r\na = 1  \r\n");
  const std::uint64_t before = small.version();
  small.find("a")->set_value("3");
  EXPECT_TRUE(small.only_appended_since(before, 2)) << "a value written through a found Variable";
  small.note_change();
  EXPECT_FALSE(small.only_appended_since(before, 2));
}

TEST(ItemsTest, AddressesSurviveGrowthAndOtherRemovals) {
  ItemList list;
  Variable& kept = list.add_variable("kept", "k");
  std::vector<const Item*> others;
  for (int i = 0; i < 100; ++i) others.push_back(&list.add_variable("o" + std::to_string(i), "o"));
  for (const Item* item : others) list.remove(item);
  EXPECT_EQ(list.count(), 1u);
  EXPECT_EQ(&list.at(0), &kept);
  EXPECT_EQ(kept.value(), "k");
  ItemList copy;
  copy.copy_from(list);
  EXPECT_NE(copy.find("kept"), &kept) << "a copy holds items of its own";
  EXPECT_EQ(copy.text(), list.text());
}

}  // namespace
}  // namespace quill
