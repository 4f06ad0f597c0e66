// Lookups answered from the fields must give what the built variable list
// gives: for every name the list holds, the value of its first row; for
// every other name, nothing. Each case builds the list for real and compares.
#include "model/element_rows.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/elements.h"
#include "tests/model/model_builder.h"

namespace quill {
namespace {

using namespace quill::testing;

// Names no row should have, asked under every prefix a case uses.
const char* const kStrangers[] = {
    "attr",       "attr.",        "attr.nothing",  "attrx.name",   "obj.name",   "param.",
    "param.kin",  "ftn.rtype",    "ftn.rtype.",    "rtype.nothing", "x.rtype.kindy",
    "arg.kindin", "at.name.more", "name",          "ftn.namex",    "x.has_init",
    // rows only some elements have
    "attr.init_val", "at.init_val", "param.default_val", "arg.default_val", "rtype.kind",
    "op.rtype.kind", "ftn.has_body"};

// Compares row_value with the list built under the prefix. The element is
// asked as a scope is: prepare_scope first, then the lookups, then the list.
void expect_rows_match(Element& element, std::string_view prefix, const std::string& label) {
  element.prepare_scope(prefix);
  const RowNameTable* table = element.row_names(prefix);
  ASSERT_NE(table, nullptr) << label;
  std::vector<std::string> names(std::begin(kStrangers), std::end(kStrangers));
  ItemList& built = element.variables(prefix);
  for (const Variable& v : built.variables()) {
    names.push_back(v.name().text());
    names.push_back(v.name().text() + "x");
  }
  for (const std::string& name : names) {
    const InternedName interned(name);
    const Variable* expected = built.find(interned);
    const std::string* answer = element.row_value(table->classify(interned));
    if (expected == nullptr) {
      EXPECT_EQ(answer, nullptr) << label << ": " << name << " = " << *answer;
    } else {
      ASSERT_NE(answer, nullptr) << label << ": " << name;
      EXPECT_EQ(*answer, expected->value()) << label << ": " << name;
    }
  }
}

TEST(ElementRowsTest, AttributeRowsMatchTheBuiltList) {
  struct Case {
    const char* label;
    const char* type;
    const char* mapping;
    const char* init;
    std::vector<std::pair<const char*, const char*>> ctics;
  };
  const Case cases[] = {
      {"plain", "int", "simple", "", {}},
      {"with init and reference", "Other", "ref_to", "nullptr", {{"unit", "mm"}}},
      {"characteristic named like a row", "int", "simple", "", {{"name", "shadow"}, {"kind", "k"}}},
      {"characteristic named like the type row", "int", "simple", "", {{"kindint", "no"}}},
      {"empty type", "", "simple", "1", {}},
      {"mapping named like a row", "int", "is_local", "", {}},
      {"mapping named like the init row", "int", "init_val", "", {}},
  };
  for (const Case& c : cases) {
    for (const char* prefix : {"", ".", "attr", "at"}) {
      Model model("m");
      Attribute& a = add_attribute(add_object(model, "Shape"), "size", c.type, c.mapping);
      a.set_initial_value(c.init);
      for (const auto& [n, v] : c.ctics) a.set_characteristic_only(n, v);
      expect_rows_match(a, prefix, std::string(c.label) + " under '" + prefix + "'");
    }
  }
}

TEST(ElementRowsTest, ParameterRowsMatchTheBuiltList) {
  struct Case {
    const char* label;
    const char* type;
    const char* mapping;
    const char* default_value;
    std::vector<std::pair<const char*, const char*>> ctics;
  };
  const Case cases[] = {
      {"plain", "int", "simple", "", {}},
      {"with default", "text", "const_ref", "\"a\"", {{"doc", "the text"}}},
      {"characteristic named like rows", "int", "simple", "", {{"kind", "k"}, {"simple", "no"}}},
      {"mapping named like a row", "int", "has_default_val", "", {}},
  };
  for (const Case& c : cases) {
    for (const char* prefix : {"", ".", "param", "arg"}) {
      Parameter p("count", c.type);
      p.set_mapping(c.mapping);
      p.set_default_value(c.default_value);
      for (const auto& [n, v] : c.ctics) p.set_characteristic_only(n, v);
      expect_rows_match(p, prefix, std::string(c.label) + " under '" + prefix + "'");
    }
  }
}

TEST(ElementRowsTest, FunctionRowsMatchTheBuiltList) {
  struct Case {
    const char* label;
    const char* return_type;
    const char* body;
    std::vector<std::pair<const char*, const char*>> ctics, rtype_ctics;
  };
  const Case cases[] = {
      {"no return type", "", "", {}, {}},
      {"return type and body", "double", "  return 1;", {{"uid", "F.f"}}, {{"is_builtin", "true"}}},
      {"characteristics named like rows", "int", "", {{"rtype.kind", "no"}, {"name", "no"}},
       {{"kind", "no"}, {"kindint", "no"}}},
  };
  for (const Case& c : cases) {
    for (const char* prefix : {"", ".", "ftn", "op"}) {
      std::vector<std::unique_ptr<Function>> functions;
      Function& f = add_function(functions, "run", c.return_type, {{"x", "int"}});
      f.body_text = c.body;
      for (const auto& [n, v] : c.ctics) f.set_characteristic_only(n, v);
      for (const auto& [n, v] : c.rtype_ctics) f.return_type->set_characteristic_only(n, v);
      expect_rows_match(f, prefix, std::string(c.label) + " under '" + prefix + "'");
    }
  }
}

// A name classified under one prefix is not taken for a row under another,
// although the classification of both is remembered.
TEST(ElementRowsTest, ClassificationsOfPrefixesAreKeptApart) {
  Model model("m");
  Attribute& a = add_attribute(add_object(model, "Shape"), "size", "int");
  const InternedName under_at("at.name"), under_attr("attr.name");
  a.prepare_scope("at");
  const RowNameTable* at = a.row_names("at");
  EXPECT_EQ(*a.row_value(at->classify(under_at)), "size");
  EXPECT_EQ(a.row_value(at->classify(under_attr)), nullptr);
  a.prepare_scope("attr");
  const RowNameTable* attr = a.row_names("attr");
  EXPECT_EQ(a.row_value(attr->classify(under_at)), nullptr);
  EXPECT_EQ(*a.row_value(attr->classify(under_attr)), "size");
}

}  // namespace
}  // namespace quill
