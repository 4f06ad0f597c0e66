#include "model/items.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quill
