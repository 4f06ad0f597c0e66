#include "model/link.h"

#include <gtest/gtest.h>

#include "tests/model/model_builder.h"

namespace quill {
namespace {

using namespace quill::testing;

TEST(LinkTest, AttributesRecordEveryUseButListUsersOnce) {
  Model model("m");
  ModelObject& point = add_object(model, "Point");
  ModelObject& shape = add_object(model, "Shape");
  ModelObject& other = add_object(model, "Other");
  point.set_characteristic_only("size", "2");
  Attribute& a = add_attribute(shape, "a", "Point");
  add_attribute(shape, "o", "Other");
  Attribute& b = add_attribute(shape, "b", "Point");
  Attribute& n = add_attribute(shape, "n", "int");
  Attribute& many = add_attribute(other, "pts", "Point", "list_of");

  link_model(model);

  EXPECT_EQ(texts_of(point.usage_tags), "simple,simple,list_of");
  EXPECT_EQ(names_of(shape.used_objects), "Other,Point") << "at the position of the last use";
  EXPECT_EQ(names_of(point.users), "Shape,Other");
  ASSERT_EQ(point.using_attributes.size(), 3u);
  EXPECT_EQ(point.using_attributes[2], &many);
  EXPECT_TRUE(a.resolved && b.resolved);
  EXPECT_EQ(a.type_object, &point);
  EXPECT_FALSE(n.resolved);
  EXPECT_EQ(n.type_object, nullptr);
  EXPECT_EQ(a.characteristics().text(), "obj = Shape  \r\nsize = 2  \r\n");
  EXPECT_EQ(texts_of(other.usage_tags), "simple");
  EXPECT_FALSE(model.has_behavior || model.has_inheritance || model.has_multiple_inheritance);
}

TEST(LinkTest, SelfTypedAttributeTakesTheObjectsCharacteristics) {
  Model model("m");
  ModelObject& node = add_object(model, "Node");
  node.set_characteristic_only("is_self", "no");
  node.set_characteristic_only("kind", "list");
  Attribute& next = add_attribute(node, "next", "Node");
  link_model(model);
  EXPECT_EQ(next.characteristics().text(), "obj = Node  \r\nis_self = no  \r\nkind = list  \r\n");
  EXPECT_EQ(names_of(node.users), "Node");
  EXPECT_EQ(names_of(node.used_objects), "Node");
}

TEST(LinkTest, FunctionsParentsAndFlags) {
  Model model("m");
  ModelObject& base = add_object(model, "Base");
  ModelObject& mix = add_object(model, "Mix");
  ModelObject& derived = add_object(model, "Derived", {"Base", "Mix", "Gone"});
  base.set_characteristic_only("abstract", "true");
  add_function(derived.functions, "f", "Base", {{"p", "Mix"}, {"q", "int"}});
  add_state(derived.states, "idle");
  Function& free = add_function(model.functions, "g", "Base", {{"p", "Mix"}});
  auto instance = std::make_unique<Instance>("i", "Base");
  Instance& inst = *model.instances.emplace_back(std::move(instance));

  link_model(model);

  EXPECT_TRUE(model.has_behavior);
  EXPECT_TRUE(model.has_inheritance);
  EXPECT_TRUE(model.has_multiple_inheritance);
  EXPECT_EQ(texts_of(base.usage_tags), "ftn_rtype,parent");
  EXPECT_EQ(texts_of(mix.usage_tags), "ftn_param,parent") << "model-level functions add no tags";
  EXPECT_EQ(names_of(derived.used_objects), "Base,Mix");
  EXPECT_EQ(derived.parents[0]->parent, &base);
  EXPECT_EQ(derived.parents[2]->parent, nullptr);
  EXPECT_EQ(*derived.parents[0]->characteristic("abstract"), "true");
  EXPECT_EQ(names_of(derived.ancestors()), "Base,Mix");
  Function& f = *derived.functions[0];
  EXPECT_TRUE(f.return_type->resolved);
  EXPECT_EQ(*f.return_type->characteristic("abstract"), "true");
  EXPECT_TRUE(f.parameters[0]->resolved);
  EXPECT_FALSE(f.parameters[1]->resolved);
  EXPECT_TRUE(free.return_type->resolved);
  EXPECT_EQ(*free.return_type->characteristic("abstract"), "true");
  EXPECT_TRUE(free.parameters[0]->resolved);
  EXPECT_TRUE(inst.resolved);
  EXPECT_EQ(*inst.characteristic("abstract"), "true");
  EXPECT_TRUE(base.users.size() == 1 && mix.users.size() == 1);
}

// Relation lists hold each object once, at the place of its last use, both
// on a first link and when a linked model is linked again.
TEST(LinkTest, RelationListsOnFirstAndRepeatedLinks) {
  Model model("m");
  ModelObject& base = add_object(model, "Base");
  ModelObject& x = add_object(model, "X", {"Base"});
  ModelObject& y = add_object(model, "Y");
  add_attribute(x, "a", "Y");
  add_attribute(x, "b", "Base");
  add_attribute(x, "c", "Y");
  add_attribute(y, "d", "Base");
  add_attribute(y, "e", "X");
  add_attribute(base, "f", "Y");
  struct Expected {
    const ModelObject* object;
    const char* users;
    const char* used;
    size_t using_attributes;
  } expected[] = {
      {&base, "X,Y", "Y", 2},
      {&x, "Y", "Y,Base", 1},
      {&y, "Base,X", "Base,X", 3},
  };
  for (int round = 1; round <= 2; ++round) {
    link_model(model);
    for (const Expected& e : expected) {
      EXPECT_EQ(names_of(e.object->users), e.users) << e.object->name << " link " << round;
      EXPECT_EQ(names_of(e.object->used_objects), e.used) << e.object->name << " link " << round;
      EXPECT_EQ(e.object->using_attributes.size(), e.using_attributes)
          << e.object->name << " link " << round;
    }
  }
}

// A type used by every object of a large model lists each user once, in
// model order.
TEST(LinkTest, PopularTypeListsEveryUserOnce) {
  Model model("m");
  add_object(model, "T");
  constexpr int kUsers = 3000;
  for (int i = 0; i < kUsers; ++i) {
    ModelObject& user = add_object(model, "U" + std::to_string(i));
    add_attribute(user, "a", "T");
    add_attribute(user, "b", "T");
  }
  link_model(model);
  const ModelObject& t = *model.objects.front();
  ASSERT_EQ(t.users.size(), static_cast<size_t>(kUsers));
  EXPECT_EQ(t.users.front()->name, "U0");
  EXPECT_EQ(t.users.back()->name, "U" + std::to_string(kUsers - 1));
  EXPECT_EQ(t.using_attributes.size(), static_cast<size_t>(2 * kUsers));
}

TEST(LinkTest, NestedObjectsAreNotVisited) {
  Model model("m");
  add_object(model, "T");
  ModelObject& outer = add_object(model, "Outer");
  ModelObject& inner = outer.add_object(std::make_unique<ModelObject>("Inner"));
  Attribute& a = add_attribute(inner, "t", "T");
  link_model(model);
  EXPECT_FALSE(a.resolved);
  EXPECT_TRUE(model.find_object("T")->users.empty());
}

TEST(LinkTest, ModelGetsTheCharacteristicsCommonToAllObjects) {
  struct Row {
    std::vector<std::vector<std::pair<const char*, const char*>>> objects;
    std::string expected;
  } rows[] = {
      {{}, "own = 1  \r\n"},
      {{{{"a", "1"}, {"b", "2"}}}, "own = 1  \r\na = 1  \r\nb = 2  \r\n"},
      {{{{"a", "1"}, {"b", "2"}, {"own", "x"}}, {{"b", "9"}, {"own", "y"}}},
       "own = x  \r\nb = 2  \r\n"},
      {{{{"a", "1"}}, {{"b", "2"}}}, "own = 1  \r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    Model model("m");
    model.set_characteristic_only("own", "1");
    int i = 0;
    for (const auto& characteristics : row.objects) {
      ModelObject& object = add_object(model, "o" + std::to_string(i++));
      for (const auto& [n, v] : characteristics) object.set_characteristic_only(n, v);
    }
    link_model(model);
    EXPECT_EQ(model.characteristics().text(), row.expected);
  }
}

}  // namespace
}  // namespace quill
