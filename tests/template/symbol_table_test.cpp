#include "template/symbol_table.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace quill
