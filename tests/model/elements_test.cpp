#include "model/elements.h"

#include <gtest/gtest.h>

#include "tests/model/model_builder.h"

namespace quill {
namespace {

std::string names(const std::vector<ModelObject*>& objects) {
  std::string out;
  for (const ModelObject* o : objects) out += (out.empty() ? "" : ",") + o->name;
  return out;
}

TEST(ElementsTest, CharacteristicKeepsItsFirstPosition) {
  Literal element("l", "");
  element.set_characteristic("a", "1");
  element.set_characteristic("b", "2");
  element.set_characteristic("a", "3");
  EXPECT_EQ(element.characteristics().text(), "a = 3  \r\nb = 2  \r\n");
  ASSERT_NE(element.characteristic("a"), nullptr);
  EXPECT_EQ(*element.characteristic("a"), "3");
  EXPECT_EQ(element.characteristic("A"), nullptr) << "names are case-sensitive";
}

TEST(ElementsTest, MergeAndKeepCommon) {
  Event target("t"), source("s");
  target.set_characteristic_only("a", "1");
  target.set_characteristic_only("b", "2");
  source.set_characteristic_only("c", "3");
  source.set_characteristic_only("a", "4");
  target.merge_characteristics(source);
  EXPECT_EQ(target.characteristics().text(), "a = 4  \r\nb = 2  \r\nc = 3  \r\n");

  Event other("o");
  other.set_characteristic_only("c", "x");
  other.set_characteristic_only("a", "y");
  target.keep_common_characteristics(other);
  EXPECT_EQ(target.characteristics().text(), "a = 4  \r\nc = 3  \r\n");
}

TEST(ElementsTest, SubstitutionValue) {
  Substitution money("money", "double");
  EXPECT_EQ(money.value(), "double");
  Substitution empty("blank", "");
  EXPECT_EQ(empty.characteristic("type_decl"), nullptr);
  EXPECT_EQ(empty.value(), "blank");
}

TEST(ElementsTest, AddAttributeMarksOwnerAndSelf) {
  struct Row {
    std::string object, type, characteristics;
  } rows[] = {
      {"Node", "Node", "obj = Node  \r\nis_self = true  \r\n"},
      {"Node", "int", "obj = Node  \r\n"},
      {"", "int", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.object + ":" + row.type);
    ModelObject object(row.object);
    Attribute& a = object.add_attribute(std::make_unique<Attribute>("next", row.type));
    ASSERT_EQ(object.attributes.size(), 1u);
    EXPECT_EQ(a.characteristics().text(), row.characteristics);
  }
}

TEST(ElementsTest, NestedObjectsTakeTheirDepth) {
  auto child = std::make_unique<ModelObject>("child");
  child->add_object(std::make_unique<ModelObject>("grandchild"));
  ModelObject top("top");
  ModelObject& added = top.add_object(std::move(child));
  EXPECT_EQ(added.depth, 1);
  EXPECT_EQ(added.objects.front()->depth, 2);
}

TEST(ElementsTest, ConsumesEvent) {
  ModelObject object("o");
  auto state = std::make_unique<State>("idle");
  state->transitions.push_back(std::make_unique<Transition>("start", "busy"));
  state->transitions.push_back(std::make_unique<Transition>("any", "idle"));
  object.states.push_back(std::move(state));
  EXPECT_TRUE(object.consumes_event("start"));
  EXPECT_FALSE(object.consumes_event("Start"));
  EXPECT_TRUE(object.states[0]->transitions[1]->is_default());
  EXPECT_FALSE(object.states[0]->transitions[0]->is_default());
}

// A family of objects whose parents are resolved by hand.
class AncestorsTest : public ::testing::Test {
 protected:
  ModelObject& object(const std::string& name) {
    for (auto& o : objects_) if (o->name == name) return *o;
    objects_.push_back(std::make_unique<ModelObject>(name));
    return *objects_.back();
  }
  void parent(const std::string& child, const std::string& parent) {
    auto ref = std::make_unique<ParentRef>(parent);
    ref->parent = &object(parent);
    object(child).parents.push_back(std::move(ref));
  }
  std::vector<std::unique_ptr<ModelObject>> objects_;
};

TEST_F(AncestorsTest, MostDistantFirstParentsInWrittenOrder) {
  parent("X", "P");
  parent("X", "Q");
  parent("P", "R");
  EXPECT_EQ(names(object("X").ancestors()), "R,P,Q");
  EXPECT_EQ(names(object("R").ancestors()), "");
}

TEST_F(AncestorsTest, TwoPathsListTwiceAndUnresolvedParentsAreSkipped) {
  parent("D", "B");
  parent("D", "C");
  parent("B", "A");
  parent("C", "A");
  object("D").parents.push_back(std::make_unique<ParentRef>("Missing"));
  EXPECT_EQ(names(object("D").ancestors()), "A,B,A,C");
}

TEST_F(AncestorsTest, CyclesAreCut) {
  parent("A", "B");
  parent("B", "A");
  parent("S", "S");
  parent("C", "D");
  parent("D", "E");
  parent("E", "C");
  EXPECT_EQ(names(object("A").ancestors()), "B");
  EXPECT_EQ(names(object("B").ancestors()), "A");
  EXPECT_EQ(names(object("S").ancestors()), "");
  EXPECT_EQ(names(object("C").ancestors()), "E,D");
  EXPECT_EQ(names(object("D").ancestors()), "C,E");
}

TEST_F(AncestorsTest, LongChainDoesNotExhaustTheStack) {
  const int kLength = 100000;
  for (int i = 0; i < kLength; ++i) {
    objects_.push_back(std::make_unique<ModelObject>("o" + std::to_string(i)));
  }
  for (int i = 0; i + 1 < kLength; ++i) {
    auto ref = std::make_unique<ParentRef>("o" + std::to_string(i + 1));
    ref->parent = objects_[i + 1].get();
    objects_[i]->parents.push_back(std::move(ref));
  }
  EXPECT_EQ(objects_[0]->ancestors().size(), size_t(kLength - 1));
  EXPECT_EQ(objects_[0]->ancestors().front()->name, "o" + std::to_string(kLength - 1));
}

// Outside a generation run the model is walked; during one an index of the
// elements by type answers, and must reach the same elements, also after a
// type changed once the index was made.
TEST(ElementsTest, SetCharacteristicPropagatesThroughTheCurrentModel) {
  for (bool in_run : {false, true}) {
    SCOPED_TRACE(in_run ? "during a run" : "outside a run");
    Model model("m");
    auto& target = *model.objects.emplace_back(std::make_unique<ModelObject>("T"));
    auto& user = *model.objects.emplace_back(std::make_unique<ModelObject>("U"));
    Attribute& typed = user.add_attribute(std::make_unique<Attribute>("t", "T"));
    Attribute& other = user.add_attribute(std::make_unique<Attribute>("n", "int"));
    user.parents.push_back(std::make_unique<ParentRef>("T"));
    auto function = std::make_unique<Function>("f");
    function->return_type = std::make_unique<ReturnType>("", "T");
    function->parameters.push_back(std::make_unique<Parameter>("p", "T"));
    Function& f = *model.functions.emplace_back(std::move(function));
    Instance& instance = *model.instances.emplace_back(std::make_unique<Instance>("i", "T"));

    target.set_characteristic("color", "red");
    EXPECT_EQ(typed.characteristic("color"), nullptr) << "no model is current yet";

    set_current_model(&model);
    if (in_run) model.begin_run();
    target.set_characteristic("color", "blue");
    for (const Element* e : std::initializer_list<const Element*>{
             &typed, user.parents[0].get(), f.return_type.get(), f.parameters[0].get(), &instance}) {
      ASSERT_NE(e->characteristic("color"), nullptr);
      EXPECT_EQ(*e->characteristic("color"), "blue");
    }
    EXPECT_NE(f.cached_variables().text().find("blue"), std::string::npos)
        << "the function shows its return type's characteristics";
    EXPECT_EQ(other.characteristic("color"), nullptr);

    other.set_type("T");
    target.set_characteristic("shape", "round");
    ASSERT_NE(other.characteristic("shape"), nullptr);
    EXPECT_EQ(*other.characteristic("shape"), "round");
    if (in_run) model.end_run();
    set_current_model(nullptr);
  }
}

// Released variable caches are handed to later elements: a handed-on cache
// must hold only its new owner's rows, and its release bookkeeping must start
// afresh (a list changed after filling is kept, an unchanged one is freed).
TEST(ElementsTest, HandedOnVariableCacheStartsClean) {
  struct Row {
    const char* name;
    const char* type;
    const char* prefix;
    bool changed;
  };
  const Row rows[] = {
      {"a", "int", "attr", false},
      {"b", "Shape", "x", true},
      {"c", "double", "attr", false},
      {"d", "int", "y", false},
  };
  Model model("m");
  ModelObject& object = testing::add_object(model, "Shape");
  std::vector<Attribute*> subjects;
  std::vector<std::string> filled;
  for (const Row& row : rows) {
    Attribute& subject = testing::add_attribute(object, row.name, row.type);
    subject.set_characteristic_only("unit", row.name);
    filled.push_back(subject.scope_variables(row.prefix).text());
    subjects.push_back(&subject);
  }
  for (size_t i = 0; i < std::size(rows); ++i) {
    if (rows[i].changed) subjects[i]->scope_variables(rows[i].prefix).add_variable("extra", "1");
    subjects[i]->release_variables();
    EXPECT_EQ(subjects[i]->cached_variables().empty(), !rows[i].changed) << rows[i].name;
  }
  // Refilled in the same order, each takes a cache another element released.
  for (size_t i = 0; i < std::size(rows); ++i) {
    const std::string text = subjects[i]->scope_variables(rows[i].prefix).text();
    if (rows[i].changed) continue;
    EXPECT_EQ(text, filled[i]) << rows[i].name;
  }
}

}  // namespace
}  // namespace quill
