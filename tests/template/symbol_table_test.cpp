#include "template/symbol_table.h"

#include <gtest/gtest.h>

#include <string>

#include "model/elements.h"
#include "model/items.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class SymbolTableTest : public testing::EngineTest {
 protected:
  std::string value_of(std::string_view name) {
    Variable* v = table_.find(InternedName(name));
    return v == nullptr ? "<absent>" : v->value();
  }

  SymbolTable table_;
};

TEST_F(SymbolTableTest, InnerScopesShadowOuterOnesUntilPopped) {
  table_.set("x", "global");
  ItemList element, position;
  table_.push(element);
  table_.push(position);
  table_.set("x", "inner");
  EXPECT_EQ(value_of("x"), "inner");
  EXPECT_EQ(table_.find_global(InternedName("x"))->value(), "global");
  EXPECT_EQ(position.count(), 1u) << "set creates the name in the innermost scope";

  table_.set("x", "changed", /*global=*/true);
  EXPECT_EQ(value_of("x"), "inner");
  table_.pop();
  table_.pop();
  EXPECT_EQ(value_of("x"), "changed");
  EXPECT_EQ(table_.global_scope().count(), 1u) << "set replaces within its scope";
}

TEST_F(SymbolTableTest, FindTakesTheEarliestEntryOfAScope) {
  ItemList scope;
  scope.add_variable(InternedName("a"), "first");
  scope.add_variable(InternedName("a"), "second");
  table_.push(scope);
  EXPECT_EQ(value_of("a"), "first");
  EXPECT_EQ(table_.find_current(InternedName("a"))->value(), "first");
  EXPECT_EQ(table_.find_global(InternedName("a")), nullptr);
  EXPECT_EQ(value_of("missing"), "<absent>");
}

TEST_F(SymbolTableTest, PopNeverRemovesTheGlobalScope) {
  table_.set("g", "1");
  table_.pop();
  table_.pop();
  EXPECT_EQ(table_.top(), 0u);
  EXPECT_EQ(value_of("g"), "1");
}

TEST_F(SymbolTableTest, PushesBeyondCapacityAreRefusedWithoutLosingOuterScopes) {
  SymbolTable small(3);  // scope 0 and two pushed scopes
  ItemList a, b, c, d;
  a.add_variable(InternedName("in_a"), "1");
  EXPECT_TRUE(small.push(a));
  EXPECT_TRUE(small.push(b));
  EXPECT_FALSE(small.push(c));
  EXPECT_FALSE(small.push(d));
  EXPECT_EQ(small.top(), 2u);
  ASSERT_EQ(sink_->entries.size(), 1u) << "reported once per table";
  EXPECT_EQ(sink_->entries[0].severity, static_cast<int>(Severity::error));
  EXPECT_EQ(sink_->entries[0].text,
            "Template nesting exceeds 2 scopes; the variables of deeper scopes are not visible.");
  // The pops matching the refused pushes leave the real scopes in place.
  small.pop();
  small.pop();
  EXPECT_EQ(small.top(), 2u);
  small.pop();
  EXPECT_NE(small.find(InternedName("in_a")), nullptr);
  small.pop();
  EXPECT_EQ(small.top(), 0u);
}

TEST_F(SymbolTableTest, RemoveTakesThatVariableFromTheInnermostScopeHoldingIt) {
  Variable& outer = table_.set("v", "outer");
  ItemList scope;
  table_.push(scope);
  Variable& inner = table_.set("v", "inner");
  Variable stranger(std::string_view("v"), "x");

  table_.remove(&stranger);
  EXPECT_EQ(scope.count(), 1u);
  table_.remove(&outer);
  EXPECT_EQ(table_.global_scope().count(), 0u);
  EXPECT_EQ(value_of("v"), "inner");
  table_.remove(&inner);
  EXPECT_TRUE(scope.empty()) << "removing from an element's list empties that list";
  EXPECT_EQ(value_of("v"), "<absent>");
}

TEST_F(SymbolTableTest, DumpListsScopesOutermostFirst) {
  ItemList element;
  element.add_variable(InternedName("obj.name"), "Acct");
  element.add_variable(InternedName("obj.not_used"), "true");
  table_.push(element);
  EXPECT_EQ(table_.text(), "obj.name = Acct  \r\nobj.not_used = true  \r\n");
  table_.set("template.path", "t.tem", true);
  EXPECT_EQ(table_.text(),
            "template.path = t.tem  \r\nobj.name = Acct  \r\nobj.not_used = true  \r\n");
  EXPECT_TRUE(table_.is_kind(kSymbolTableKind));
  EXPECT_TRUE(table_.is_kind(kItemKind));
  EXPECT_FALSE(table_.is_kind(kVariableKind));
}

// An element scope pushed unfilled answers values from the element and is
// filled only when its Variables themselves are needed.
class UnfilledScopeTest : public SymbolTableTest {
 protected:
  UnfilledScopeTest() : attribute_("size", "int") { attribute_.set_characteristic_only("unit", "mm"); }

  std::string answer(std::string_view name) {
    const std::string* v = table_.find_value(InternedName(name));
    return v == nullptr ? "<absent>" : *v;
  }

  Attribute attribute_;
};

TEST_F(UnfilledScopeTest, ValuesAreAnsweredWithoutFilling) {
  table_.set("attr.name", "global");
  table_.set("obj.name", "Shape");
  ASSERT_TRUE(table_.push_rows(attribute_, "attr"));
  EXPECT_EQ(answer("attr.name"), "size");
  EXPECT_EQ(answer("attr.unit"), "mm");
  EXPECT_EQ(answer("attr.kindint"), "true");
  EXPECT_EQ(answer("obj.name"), "Shape") << "names of other scopes pass through";
  EXPECT_EQ(answer("attr.other"), "<absent>");
  EXPECT_TRUE(attribute_.cached_variables().empty());
  EXPECT_EQ(table_.find(InternedName("obj.name"))->value(), "Shape");
  EXPECT_TRUE(attribute_.cached_variables().empty()) << "a name it lacks does not fill it";

  // Once no scope holds it, the unfilled list is given back like a filled one.
  const ItemList* held = &attribute_.cached_variables();
  table_.pop();
  attribute_.release_variables();
  EXPECT_NE(&attribute_.cached_variables(), held);
  ASSERT_TRUE(table_.push_rows(attribute_, "attr"));
  EXPECT_EQ(answer("attr.name"), "size");
}

TEST_F(UnfilledScopeTest, NeedingItsVariablesFillsIt) {
  struct Row {
    const char* need;
    void (*apply)(SymbolTable&);
    const char* expect_in_list;
  };
  const Row rows[] = {
      {"a Variable found by name", [](SymbolTable& t) { t.find(InternedName("attr.unit"))->set_value("cm"); },
       "attr.unit = cm"},
      {"a value set in the innermost scope", [](SymbolTable& t) { t.set("extra", "1"); }, "extra = 1"},
      {"the Variable of the innermost scope", [](SymbolTable& t) { t.find_current(InternedName("attr.name")); },
       "attr.name = size"},
      {"a dump", [](SymbolTable& t) { (void)t.text(); }, "attr.is_local = false"},
  };
  for (const Row& row : rows) {
    Attribute a("size", "int");
    a.set_characteristic_only("unit", "mm");
    SymbolTable table;
    ASSERT_TRUE(table.push_rows(a, "attr"));
    row.apply(table);
    EXPECT_NE(a.cached_variables().text().find(row.expect_in_list), std::string::npos) << row.need;
    const std::string* unit = table.find_value(InternedName("attr.unit"));
    ASSERT_NE(unit, nullptr) << row.need;
    EXPECT_EQ(*unit, std::string(row.need).starts_with("a Variable") ? "cm" : "mm") << row.need;
  }
}

// Two scopes of one element share its list: pushed again under another
// prefix, both see the rows of the second, as they would if filled at once.
TEST_F(UnfilledScopeTest, ScopesSharingAListSeeTheSameRows) {
  ASSERT_TRUE(table_.push_rows(attribute_, "attr"));
  ItemList between;
  table_.push(between);
  ASSERT_TRUE(table_.push_rows(attribute_, "at"));
  EXPECT_EQ(answer("at.name"), "size");
  table_.pop();
  EXPECT_EQ(answer("at.name"), "size");
  EXPECT_EQ(answer("attr.name"), "<absent>");
}

// A list the element rebuilt after a change is the answer from then on.
TEST_F(UnfilledScopeTest, ChangedElementAnswersThroughItsList) {
  ASSERT_TRUE(table_.push_rows(attribute_, "attr"));
  attribute_.set_characteristic("unit", "cm");
  EXPECT_FALSE(attribute_.cached_variables().empty());
  EXPECT_EQ(answer("attr.unit"), "cm");
}

}  // namespace
}  // namespace quill
