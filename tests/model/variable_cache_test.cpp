// The element variable cache: lists filled late (discard_variables), freed
// after use (release_variables) and refilled, and the object index of the
// link step.
#include <gtest/gtest.h>

#include "model/elements.h"
#include "model/object_index.h"
#include "tests/model/model_builder.h"

namespace quill {
namespace {

using namespace quill::testing;

TEST(VariableCacheTest, ReleasedListIsFilledAgainAlike) {
  Model model("m");
  Attribute& a = add_attribute(add_object(model, "Shape"), "size", "int");
  a.set_characteristic_only("unit", "mm");
  const std::string filled = a.scope_variables("at").text();
  a.release_variables();
  EXPECT_TRUE(a.cached_variables().empty());
  EXPECT_EQ(a.scope_variables("at").text(), filled);
}

// A list that anything changed after it was filled keeps its contents.
TEST(VariableCacheTest, ChangedListIsKept) {
  struct Row {
    const char* change;
    void (*apply)(ItemList&);
  };
  const Row rows[] = {
      {"item added", [](ItemList& l) { l.add_variable("extra", "1"); }},
      {"value set in place", [](ItemList& l) { l.set("at.name", "other"); }},
      {"value written through a found variable",
       [](ItemList& l) { l.find("at.name")->set_value("other"); }},
      {"item removed", [](ItemList& l) { l.remove(l.find("at.name")); }},
  };
  for (const Row& row : rows) {
    Model model("m");
    Attribute& a = add_attribute(add_object(model, "Shape"), "size", "int");
    ItemList& list = a.scope_variables("at");
    row.apply(list);
    const std::string changed = list.text();
    a.release_variables();
    EXPECT_EQ(a.cached_variables().text(), changed) << row.change;
  }
}

// A parameter rebuilt after a change shows the default names although another
// prefix is remembered; freeing that list would bring the remembered names back.
TEST(VariableCacheTest, RebuiltListIsKept) {
  Parameter p("count", "int");
  p.scope_variables("arg");
  p.set_characteristic("unit", "mm");
  ASSERT_NE(p.cached_variables().find("param.name"), nullptr);
  p.release_variables();
  EXPECT_NE(p.cached_variables().find("param.name"), nullptr);
}

TEST(VariableCacheTest, DiscardFillsLateOnlyWithoutRememberedPrefix) {
  Model model("m");
  ModelObject& shape = add_object(model, "Shape");
  Attribute& fresh = add_attribute(shape, "a", "int");
  fresh.discard_variables();
  EXPECT_TRUE(fresh.cached_variables().empty());
  EXPECT_NE(fresh.scope_variables("attr").find("attr.name"), nullptr);

  Attribute& used = add_attribute(shape, "b", "int");
  used.scope_variables("x");
  used.set_characteristic_only("unit", "mm");
  used.discard_variables();
  EXPECT_NE(used.cached_variables().find("x.unit"), nullptr) << "refilled at once";
}

TEST(VariableCacheTest, ObjectIndexFindsTheFirstOfAName) {
  Model model("m");
  ModelObject& first = add_object(model, "A");
  add_object(model, "B");
  add_object(model, "A");
  const ObjectIndex index(model);
  EXPECT_EQ(index.find("A"), &first);
  EXPECT_EQ(index.find("B"), model.objects[1].get());
  EXPECT_EQ(index.find("a"), nullptr);
  EXPECT_EQ(index.find(""), nullptr);
}

}  // namespace
}  // namespace quill
