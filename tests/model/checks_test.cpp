#include "model/checks.h"

#include "model/builtin_types.h"
#include "tests/model/model_builder.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

using namespace quill::testing;

constexpr const char* kNotUnique =
    "Names of objects and attributes must be unique.  These names are used more than once in "
    "the object model.";
constexpr const char* kAttributeLikeObject =
    "Attributes must have names that differ from their object's name.  These attribute names "
    "need to be changed.";
constexpr const char* kMissingParents =
    "Objects cited as parents of other objects must be part of the set of objects in the "
    "model.  These objects are used as parents, but are not in the model.";
constexpr const char* kPragmaTwice =
    "Pragmas can only be set once.  These pragmas have been set more than once.";
constexpr const char* kForeignTwice =
    "Foreign type definitions can only be set once.  The listed types have been set more than "
    "once.";

class ChecksTest : public EngineTest {
 protected:
  // Every report as "message|list" (list empty for a plain error).
  std::vector<std::string> reports() const {
    std::vector<std::string> out;
    for (const auto& e : sink_->entries) out.push_back(e.text + "|" + e.list);
    return out;
  }
  Model model_{"m"};
};

TEST_F(ChecksTest, CleanModelPasses) {
  ModelObject& a = add_object(model_, "A");
  add_object(model_, "B", {"A"});
  add_attribute(a, "x", "int");
  add_state(a.states, "s", "act");
  add_builtin_types(model_, "c++");
  EXPECT_TRUE(check(model_));
  EXPECT_TRUE(model_.check_verdict);
  EXPECT_EQ(output(), "");
}

TEST_F(ChecksTest, EachCheckListsItsOffenders) {
  auto pragma = [](const char* name) { return std::make_unique<Pragma>(name); };
  struct Row {
    const char* what;
    std::function<void(Model&)> build;
    std::string expected;
  } rows[] = {
      {"objects named three times are listed once",
       [](Model& m) { add_object(m, "A"); add_object(m, "A"); add_object(m, "A"); },
       std::string(kNotUnique) + "|A\r\n"},
      {"repeated attribute keys",
       [](Model& m) {
         ModelObject& a = add_object(m, "A");
         add_attribute(a, "x", "int");
         add_attribute(a, "x", "int");
         add_attribute(a, "y", "int");
       },
       std::string(kNotUnique) + "|A.x\r\n"},
      {"objects of one name share their attribute keys; names before keys, in order",
       [](Model& m) {
         ModelObject& a = add_object(m, "A");
         add_attribute(a, "x", "int");
         add_attribute(a, "x", "int");
         add_attribute(add_object(m, "B"), "y", "int");
         add_attribute(add_object(m, "C"), "x", "int");
         ModelObject& b = add_object(m, "B");
         add_attribute(b, "z", "int");
         add_attribute(b, "y", "int");
       },
       std::string(kNotUnique) + "|B\r\nA.x\r\nB.y\r\n"},
      {"a repeat among many attributes of one object",
       [](Model& m) {
         ModelObject& o = add_object(m, "O");
         for (int i = 0; i < 40; ++i) add_attribute(o, "a" + std::to_string(i), "int");
         add_attribute(o, "a3", "int");
         add_attribute(o, "a39", "int");
         add_attribute(add_object(m, "P"), "a3", "int");
       },
       std::string(kNotUnique) + "|O.a3\r\nO.a39\r\n"},
      {"an object key may clash with an attribute key",
       [](Model& m) { add_attribute(add_object(m, "A"), "b", "int"); add_object(m, "A.b"); },
       std::string(kNotUnique) + "|A.b\r\n"},
      {"attribute named like its object, every occurrence",
       [](Model& m) {
         ModelObject& a = add_object(m, "A");
         add_attribute(a, "A", "int");
         add_attribute(add_object(m, "B"), "B", "int");
       },
       std::string(kAttributeLikeObject) + "|A.A\r\nB.B\r\n"},
      {"missing parents, every occurrence; nested objects do not count",
       [](Model& m) {
         add_object(m, "A", {"B"}).add_object(std::make_unique<ModelObject>("B"));
         add_object(m, "C", {"B", "A"});
       },
       std::string(kMissingParents) + "|B\r\nB\r\n"},
      {"model-level pragmas set twice",
       [&](Model& m) {
         m.pragmas.push_back(pragma("p"));
         m.pragmas.push_back(pragma("q"));
         m.pragmas.push_back(pragma("p"));
         m.pragmas.push_back(pragma("p"));
         add_object(m, "A").pragmas.push_back(pragma("r"));
         add_object(m, "B").pragmas.push_back(pragma("r"));
       },
       std::string(kPragmaTwice) + "|p\r\n"},
      {"a foreign type declared twice",
       [](Model& m) {
         m.substitutions.push_back(std::make_unique<Substitution>("t"));
         m.substitutions.push_back(std::make_unique<Substitution>("t", "long"));
       },
       std::string(kForeignTwice) + "|t\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    clear_output();
    Model model("m");
    row.build(model);
    EXPECT_FALSE(check(model));
    EXPECT_FALSE(model.check_verdict);
    EXPECT_EQ(reports(), std::vector<std::string>{row.expected});
  }
}

TEST_F(ChecksTest, AllChecksRunAndReport) {
  add_object(model_, "A");
  add_object(model_, "A", {"Z"});
  add_attribute(*model_.objects[0], "A", "int");
  model_.pragmas.push_back(std::make_unique<Pragma>("p"));
  model_.pragmas.push_back(std::make_unique<Pragma>("p"));
  model_.substitutions.push_back(std::make_unique<Substitution>("A"));
  model_.substitutions.push_back(std::make_unique<Substitution>("A"));
  EXPECT_FALSE(check(model_));
  std::vector<std::string> expected = {
      std::string(kNotUnique) + "|A\r\n",
      std::string(kAttributeLikeObject) + "|A.A\r\n",
      std::string(kMissingParents) + "|Z\r\n",
      std::string(kPragmaTwice) + "|p\r\n",
      std::string(kForeignTwice) + "|A\r\n",
      "Substitution 'A' -- May not redefine the name of an object\r\n"
      "Substitution 'A' -- May not redefine the name of an attribute\r\n"
      "Substitution 'A' -- May not redefine the name of an object\r\n"
      "Substitution 'A' -- May not redefine the name of an object\r\n"
      "Substitution 'A' -- May not redefine the name of an attribute\r\n"
      "Substitution 'A' -- May not redefine the name of an object\r\n|",
  };
  EXPECT_EQ(reports(), expected);
  EXPECT_EQ(sink_->entries.back().severity, static_cast<int>(Severity::error));
}

TEST_F(ChecksTest, SubstitutionMayNotRedefineNames) {
  ModelObject& o = add_object(model_, "O");
  add_attribute(o, "w", "int");
  add_function(o.functions, "w", "", {{"w", "int"}});
  add_state(o.states, "w", "w");
  add_function(model_.functions, "w", "");
  model_.substitutions.push_back(std::make_unique<Substitution>("w", "int"));
  EXPECT_FALSE(check(model_));
  EXPECT_EQ(reports(), std::vector<std::string>{
                           "Substitution 'w' -- May not redefine the name of an attribute\r\n"
                           "Substitution 'w' -- May not redefine the name of a function\r\n"
                           "Substitution 'w' -- May not redefine the name of a function param\r\n"
                           "Substitution 'w' -- May not redefine the name of a state\r\n"
                           "Substitution 'w' -- May not redefine the name of a state action\r\n"
                           "Substitution 'w' -- May not redefine the name of a function\r\n|"});
}

TEST_F(ChecksTest, SubstitutedTypesAreReplaced) {
  ModelObject& o = add_object(model_, "O");
  Attribute& amount = add_attribute(o, "amount", "money");
  Attribute& count = add_attribute(o, "count", "int");
  Function& f = add_function(o.functions, "f", "money", {{"p", "money"}});
  Function& g = add_function(model_.functions, "g", "money", {{"p", "money"}});
  Function& h = add_function(model_.functions, "h", "int");
  auto money = std::make_unique<Substitution>("money", "double");
  money->set_characteristic_only("unit", "eur");
  model_.substitutions.push_back(std::move(money));
  add_builtin_types(model_, "c++");

  EXPECT_TRUE(check(model_));
  EXPECT_EQ(output(), "");
  EXPECT_EQ(amount.type(), "double");
  // The built-in double, later in the list, then matches the replaced type.
  EXPECT_EQ(amount.characteristics().text(),
            "obj = O  \r\ntype_decl = double  \r\nunit = eur  \r\nis_builtin = true  \r\n");
  EXPECT_EQ(*count.characteristic("is_builtin"), "true");
  EXPECT_EQ(f.return_type->type(), "double");
  EXPECT_NE(f.return_type->characteristic("unit"), nullptr);
  EXPECT_EQ(f.parameters[0]->type(), "double");
  EXPECT_NE(f.parameters[0]->characteristic("unit"), nullptr);
  // A model-level return type takes a defined substitution's value only.
  EXPECT_EQ(g.return_type->type(), "double");
  EXPECT_EQ(g.return_type->characteristic("unit"), nullptr);
  EXPECT_NE(g.parameters[0]->characteristic("unit"), nullptr);
  EXPECT_EQ(h.return_type->type(), "int");
  EXPECT_NE(h.return_type->characteristic("is_builtin"), nullptr);
}

}  // namespace
}  // namespace quill
