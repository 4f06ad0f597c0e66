#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/elements.h"

namespace quill {
namespace {

// Initial and default values: each row is a sequence of sets; after each set
// the value reads back, and a reference taken after the first non-empty set
// follows every later one.
TEST(ElementStorage, RareValuesReadBackAfterEverySet) {
  struct Case {
    const char* name;
    std::vector<std::string> sets;
  };
  const Case cases[] = {
      {"never set", {}},
      {"empty only", {"", ""}},
      {"set once", {"42"}},
      {"set then cleared", {"1", ""}},
      {"cleared then set again", {"abc", "", "a much longer value than any short string holds"}},
      {"empty first", {"", "x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Attribute a("size", "int");
    Parameter p("x", "int");
    EXPECT_EQ(a.initial_value(), "");
    EXPECT_EQ(p.default_value(), "");
    const std::string* first_a = nullptr;
    const std::string* first_p = nullptr;
    for (const std::string& value : c.sets) {
      a.set_initial_value(value);
      p.set_default_value(value);
      if (first_a == nullptr && !value.empty()) {
        first_a = &a.initial_value();
        first_p = &p.default_value();
      }
      EXPECT_EQ(a.initial_value(), value);
      EXPECT_EQ(p.default_value(), value);
      if (first_a == nullptr) continue;
      EXPECT_EQ(*first_a, value);
      EXPECT_EQ(*first_p, value);
    }
  }
}

// Type names and mapping words are held once for all elements: setting one
// element's never shows through another's.
TEST(ElementStorage, TypeAndMappingStayEachElementsOwn) {
  Attribute plain("a", "int");
  Attribute ref("b", "Shape");
  Parameter list("c", "Shape");
  TypedElement unnamed;
  EXPECT_EQ(unnamed.type(), "");
  EXPECT_EQ(unnamed.mapping(), "simple");
  ref.set_mapping("ref_to");
  list.set_mapping("list_of");
  list.set_type("Circle");
  EXPECT_EQ(plain.mapping(), "simple");
  EXPECT_EQ(ref.mapping(), "ref_to");
  EXPECT_EQ(list.mapping(), "list_of");
  EXPECT_EQ(ref.type(), "Shape");
  EXPECT_EQ(list.type(), "Circle");
  ref.set_mapping("simple");
  ref.set_type("");
  EXPECT_EQ(ref.mapping(), "simple");
  EXPECT_EQ(ref.type(), "");
  EXPECT_EQ(list.mapping(), "list_of");
  EXPECT_EQ(list.type(), "Circle");
  EXPECT_EQ(plain.type(), "int");
}

// Elements of different sizes are made, some destroyed, and made again from
// the kept rooms: every element keeps its own fields and characteristics.
TEST(ElementStorage, ElementsMadeFromKeptRoomsStayApart) {
  std::vector<std::unique_ptr<Element>> elements;
  auto make_round = [&elements](int round) {
    for (int i = 0; i < 50; ++i) {
      const std::string tag = std::to_string(round) + "." + std::to_string(i);
      std::unique_ptr<Element> e;
      switch (i % 4) {
        case 0: e = std::make_unique<Attribute>("a" + tag, "int"); break;
        case 1: e = std::make_unique<Parameter>("p" + tag, "int"); break;
        case 2: e = std::make_unique<ModelObject>("o" + tag); break;
        default: e = std::make_unique<Function>("f" + tag); break;
      }
      e->set_characteristic_only("tag", tag);
      elements.push_back(std::move(e));
    }
  };
  make_round(0);
  for (size_t i = 0; i < elements.size(); i += 3) elements[i].reset();
  make_round(1);
  for (const auto& e : elements) {
    if (!e) continue;
    const std::string* tag = e->characteristic("tag");
    ASSERT_NE(tag, nullptr);
    const auto& named = static_cast<const NamedElement&>(*e);
    EXPECT_EQ(named.name.substr(1), *tag);
  }
}

}  // namespace
}  // namespace quill
