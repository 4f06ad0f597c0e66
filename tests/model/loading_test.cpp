// The shortcuts of model loading: runs of plain lines lexed in place, pair
// counting, whole-list copies into element characteristics, the object
// index's name filter and members gathered per object while it is read.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "model/elements.h"
#include "model/items.h"
#include "model/lexer.h"
#include "model/object_index.h"
#include "model/parser.h"
#include "tests/model/model_builder.h"
#include "tests/model/model_dump.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

using testing::add_object;

class LoadingTest : public testing::EngineTest {
 protected:
  // Every token of the file as "line/offset:text".
  std::string placed_tokens(const std::string& content, bool strip_returns = false) {
    ModelFileLexer lexer(LexerOptions{}, strip_returns);
    EXPECT_TRUE(lexer.open(write("m.dsm", content)));
    std::string out;
    while (lexer.next() != TokenKind::eof) {
      out += std::to_string(lexer.line()) + "/" + std::to_string(lexer.offset()) + ":" +
             lexer.text(true) + " ";
    }
    return out + std::to_string(lexer.line());
  }
};

// Lines, offsets within the line and texts are those of one chunk per line,
// whether plain lines run together, trail blanks or carriage returns, or
// alternate with lines holding a string or a block.
TEST_F(LoadingTest, PlainLinesReadInPlaceKeepLinesAndOffsets) {
  struct Case {
    const char* content;
    const char* expected;
  } cases[] = {
      {"a b\n  c\n\n d", "1/0:a 1/2:b 2/2:c 4/1:d 5"},
      {"a \t\r\n  b\r\n", "1/0:a 2/2:b 3"},
      {"a -- note\n-- whole line\nb", "1/0:a 3/0:b 4"},
      {"a\n b \"s t\" c\n  d", "1/0:a 2/1:b 2/3:s t 2/9:c 3/2:d 4"},
      {"a\n{{ x\ny }} b\n c", "1/0:a 2/0:{{ 2/2: x\r\ny  3/8:}} 3/11:b 4/1:c 5"},
      {"x =\n> y", "1/0:x 1/2:= 2/0:> 2/2:y 3"},
      {"x }\n} y -\n- z", "1/0:x 1/2:} 2/0:} 2/2:y 2/4:- 3/0:- 3/2:z 4"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(placed_tokens(c.content), c.expected) << "content: " << c.content;
  }
}

// A string that its line does not close runs to the end of that line's
// chunk, line end included, even after a run of plain lines.
TEST_F(LoadingTest, UnclosedStringAfterPlainLinesKeepsItsLineEnd) {
  EXPECT_EQ(placed_tokens("a\nb\n\"open\nc"), "1/0:a 2/0:b 3/0:\"open\r\n 4/0:c 5");
  EXPECT_EQ(placed_tokens("a\nb\n\"open\nc", true), "1/0:a 2/0:b 3/0:\"open\n 4/0:c 5");
}

TEST(CountPairsTest, CountsNonOverlappingPairs) {
  struct Row {
    std::string_view text, pair;
    size_t expected;
  } rows[] = {
      {"", "{{", 0},      {"{", "{{", 0},          {"{{", "{{", 1},      {"{{{", "{{", 1},
      {"{{{{", "{{", 2},  {"a{b{{c{{", "{{", 2},   {"}}}}}", "}}", 2},   {"{ {", "{{", 0},
      {"x{{y", "{{", 1},  {"abcabc", "abc", 2},    {"aaaa", "aa", 2},
  };
  for (const Row& row : rows)
    EXPECT_EQ(count_pairs(row.text, row.pair), row.expected) << row.text << " / " << row.pair;
}

std::string listed(const ItemList& list) { return list.text(); }

// A whole copy equals one append_clone per item: order, values, texts,
// searches and a changed version; a list copied into itself stays as it is.
TEST(AppendCopiesTest, EqualsCloningEachItem) {
  struct Row {
    std::vector<std::pair<std::string, std::string>> target, source;
  } rows[] = {
      {{}, {{"a", "1"}}},
      {{{"x", "0"}}, {{"a", "1"}, {"b", "2"}}},
      {{{"x", "0"}, {"y", "9"}, {"z", "8"}}, {{"a", std::string(300, 'v')}}},
      {{{"x", "0"}}, {}},
  };
  for (const Row& row : rows) {
    ItemList by_copies, by_clones, source;
    for (const auto& [n, v] : row.target) {
      by_copies.add_variable(n, v);
      by_clones.add_variable(n, v);
    }
    for (const auto& [n, v] : row.source) source.add_variable(n, v);
    source.add_text("t");
    const std::uint64_t before = by_copies.version();
    by_copies.append_copies(source);
    for (const Item& item : source) by_clones.append_clone(item);
    SCOPED_TRACE(listed(by_clones));
    EXPECT_EQ(listed(by_copies), listed(by_clones));
    EXPECT_NE(by_copies.version(), before);
    for (const auto& [n, v] : row.source) {
      ASSERT_NE(by_copies.find(n), nullptr) << n;
      EXPECT_EQ(by_copies.find(n)->value(), v);
      EXPECT_NE(by_copies.find(n), source.find(n)) << "a copy, not the same item";
    }
    const std::string kept = listed(by_copies);
    by_copies.append_copies(by_copies);
    EXPECT_EQ(listed(by_copies), kept);
  }
}

// Merging appends the names the element lacks in source's order and gives
// the names it has their new values in place, whichever way it goes.
TEST(MergeCharacteristicsTest, AppendsMissingAndUpdatesPresent) {
  struct Row {
    std::vector<std::pair<const char*, const char*>> mine, source;
    const char* expected;
  } rows[] = {
      {{}, {{"a", "1"}, {"b", "2"}}, "a=1 b=2 "},
      {{{"obj", "O"}}, {{"is_builtin", "true"}}, "obj=O is_builtin=true "},
      {{{"a", "0"}, {"c", "3"}}, {{"b", "2"}, {"a", "1"}}, "a=1 c=3 b=2 "},
      {{{"a", "0"}}, {{"a", "1"}}, "a=1 "},
      {{{"a", "0"}}, {}, "a=0 "},
  };
  for (const Row& row : rows) {
    Attribute element("x", "t");
    for (const auto& [n, v] : row.mine) element.set_characteristic_only(n, v);
    Substitution source("t");
    for (const auto& [n, v] : row.source) source.set_characteristic_only(n, v);
    element.merge_characteristics(source);
    std::string got;
    for (const Variable& v : element.characteristics().variables())
      got += v.name().text() + "=" + v.value() + " ";
    EXPECT_EQ(got, row.expected);
  }
}

TEST(ObjectIndexFilterTest, FindsEveryObjectAndNoOtherName) {
  Model model("m");
  for (int i = 0; i < 300; ++i) add_object(model, "C" + std::to_string(10000 + i));
  add_object(model, "");
  add_object(model, "int");
  const ObjectIndex index(model);
  for (const auto& object : model.objects) EXPECT_EQ(index.find(object->name), object.get());
  for (std::string_view other : {"C1", "C99999", "C10300", "c10000", "in", "Int", "double"})
    EXPECT_EQ(index.find(other), nullptr) << other;
}

class GatheredMembersTest : public testing::EngineTest {};

// Attributes and functions of nested objects land in their own objects in
// written order, also when a parse that failed midway went before with the
// same parser.
TEST_F(GatheredMembersTest, NestedObjectsKeepTheirOwnMembers) {
  ModelParser parser;
  EXPECT_EQ(parser.parse(write("bad.dsm", "object A x : t; object B y : u; f(;")).status,
            ModelParser::Status::syntax_error);
  clear_output();
  ModelParser::Result result = parser.parse(write(
      "m.dsm",
      "object A a1 : t; f1(p : t, q : A) : r; object B b1 : B; g(); end; a2 : A; f2(); end;"));
  ASSERT_EQ(result.status, ModelParser::Status::ok);
  EXPECT_EQ(testing::dump_model(*result.model),
            "object A{attr a1:t[obj=A]; attr a2:A[obj=A,is_self=true]; ftn f1(p:t,q:A)->r; "
            "ftn f2(); object B@1{attr b1:B[obj=B,is_self=true]; ftn g()}}");
}

}  // namespace
}  // namespace quill
