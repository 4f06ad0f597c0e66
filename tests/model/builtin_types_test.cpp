#include "model/builtin_types.h"

#include <gtest/gtest.h>

#include "model/elements.h"
#include "model/reserved_words.h"

namespace quill {
namespace {

std::string dump(const Model& model) {
  std::string out;
  for (const auto& s : model.substitutions) {
    out += s->name;
    if (s->characteristic("is_builtin")) out += "+b";
    if (s->characteristic("use_ref")) out += "+r";
    out += " ";
  }
  return out;
}

TEST(BuiltinTypesTest, TypesByTarget) {
  struct Row {
    const char* target;
    const char* expected;
  } rows[] = {
      {"c++", "bool+b BOOL+b int+b unsigned+b short+b long+b float+b double+b char+b string+b+r "},
      {"ada", "integer+b natural+b positive+b boolean+b string+b "},
      {"C++", ""},
      {"Ada", ""},
      {"", ""},
  };
  for (const Row& row : rows) {
    Model model("m");
    add_builtin_types(model, row.target);
    EXPECT_EQ(dump(model), row.expected) << row.target;
  }
}

TEST(BuiltinTypesTest, DeclaredTypeStandsInstead) {
  Model model("m");
  model.substitutions.push_back(std::make_unique<Substitution>("string"));
  add_builtin_types(model, "c++");
  EXPECT_EQ(model.substitutions.size(), 10u);
  EXPECT_EQ(dump(model), "string bool+b BOOL+b int+b unsigned+b short+b long+b float+b double+b char+b ");
}

TEST(ReservedWordsTest, Membership) {
  struct Row {
    const char* word;
    bool cxx, ada;
  } rows[] = {
      {"asm", true, false},      {"while", true, true},    {"volatile", true, false},
      {"int", false, false},     {"abort", false, true},   {"xor", false, true},
      {"elsif", false, true},    {"protected", true, false}, {"aliased", false, false},
      {"Class", false, false},   {"", false, false},       {"private", true, true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(is_cxx_reserved(row.word), row.cxx) << row.word;
    EXPECT_EQ(is_ada_reserved(row.word), row.ada) << row.word;
  }
}

}  // namespace
}  // namespace quill
