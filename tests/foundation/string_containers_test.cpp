#include "foundation/string_containers.h"

#include <gtest/gtest.h>

#include "foundation/interned_name.h"
#include "foundation/pattern.h"

namespace quill {
namespace {

using Strings = std::vector<std::string>;

TEST(StringArrayTest, IndexingAndRemoval) {
  StringArray a;
  EXPECT_EQ(a.item(5), "");
  EXPECT_EQ(a.count(), 0u);
  a.item_or_extend(3) = "d";
  EXPECT_EQ(a.items(), (Strings{"", "", "", "d"}));
  EXPECT_EQ(a.find("d"), 3);
  EXPECT_EQ(a.find("D"), -1);
  a.remove(-1);
  a.remove(4);
  EXPECT_EQ(a.count(), 4u);
  a.remove(0);
  EXPECT_EQ(a.items(), (Strings{"", "", "d"}));
}

TEST(StringArrayTest, Split) {
  struct Row {
    const char* text;
    const char* separators;
    Strings pieces;
  };
  const Row rows[] = {
      {"a b  c ", " ", {"a", "b", "c"}},
      {",,x;y,", ",;", {"x", "y"}},
      {"", " ", {}},
      {"abc", "", {"abc"}},
  };
  StringArray a;
  for (const Row& r : rows) {
    a.add("stale");
    a.split(r.text, r.separators);
    EXPECT_EQ(a.items(), r.pieces) << "'" << r.text << "' by '" << r.separators << "'";
  }
  a.split("k1=v1 k2=v2", Pattern("@#=@#"));
  EXPECT_EQ(a.items(), (Strings{"k1=v1", "k2=v2"}));
}

TEST(StringSetTest, NeverHoldsDuplicates) {
  StringSet s;
  s.add("a");
  s.add("b");
  s.add("a");
  EXPECT_EQ(s.items(), (Strings{"a", "b"}));
  s.remove_text("a");
  s.remove_text("zz");
  EXPECT_EQ(s.items(), (Strings{"b"}));
}

// Long sets search through an index that appends keep and removals remake.
TEST(StringSetTest, LongSetsFindEveryTextAfterEveryChange) {
  StringSet s;
  for (int round = 0; round < 2; ++round)  // the second round adds nothing
    for (int i = 0; i < 1000; ++i) s.add("t" + std::to_string(i));
  ASSERT_EQ(s.count(), 1000u);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(s.find("t" + std::to_string(i)), i);
  EXPECT_EQ(s.find("t1000"), -1);
  s.remove_text("t10");
  EXPECT_EQ(s.find("t10"), -1);
  EXPECT_EQ(s.find("t11"), 10) << "later entries move up";
  s.add("t10");
  EXPECT_EQ(s.find("t10"), 999) << "added again at the end";
  StringSet copy = s;
  copy.add("new");
  EXPECT_EQ(copy.find("new"), 1000);
  EXPECT_EQ(s.find("new"), -1);
  StringSet assigned;
  assigned.add("x");
  assigned = copy;
  EXPECT_EQ(assigned.find("x"), -1);
  EXPECT_EQ(assigned.find("t999"), copy.find("t999"));
  s.clear();
  EXPECT_EQ(s.find("t1"), -1);
  s.add("t1");
  EXPECT_EQ(s.items(), (Strings{"t1"}));
}

TEST(StringMapTest, KeysAndValuesStayParallel) {
  StringMap m;
  EXPECT_EQ(m.value("x"), "");  // created empty
  m.value("y") = "2";
  m.value("x") = "1";
  m.value("z") = "3";
  EXPECT_TRUE(m.contains("y"));
  m.remove("y");
  m.remove("absent");
  EXPECT_FALSE(m.contains("y"));
  EXPECT_EQ(m.keys().items(), (Strings{"x", "z"}));
  EXPECT_EQ(m.values().items(), (Strings{"1", "3"}));
  EXPECT_EQ(m.value("z"), "3");
}

TEST(InternedNameTest, SameTextSameCopy) {
  InternedName unset;
  EXPECT_EQ(unset.text(), "UNDEFINED");
  EXPECT_EQ(unset, InternedName("UNDEFINED"));
  std::string built = "obj.";
  built += "name";
  InternedName a(built), b("obj.name"), c("obj.Name");
  EXPECT_EQ(a, b);
  EXPECT_EQ(&a.text(), &b.text());
  EXPECT_NE(a, c);
  EXPECT_EQ(std::hash<InternedName>()(a), std::hash<InternedName>()(b));
}

}  // namespace
}  // namespace quill
