// The variable lists of states, their actions and transitions, processes and
// flows, literals and substitutions (see element_variables.cpp for the steps).
#include "model/element_variables_support.h"
#include "model/elements.h"

namespace quill {

using namespace element_variables;

namespace {

constexpr std::string_view kStatePrefix = "state";
constexpr std::string_view kActionPrefix = "state_action";
constexpr std::string_view kTransitionPrefix = "tx";
constexpr std::string_view kProcessPrefix = "proc";
constexpr std::string_view kFlowPrefix = "flow";
constexpr std::string_view kLiteralPrefix = "literal";
constexpr std::string_view kSubstitutionGroup = "subs";
constexpr std::string_view kForeignPrefix = "foreign";

enum { kActionName, kActionHasBody, kActionBody };
FieldNames& action_fields() {
  static FieldNames fields{"name", "has_body", "body_text"};
  return fields;
}

// The rows of a state action under the prefix e.
void add_action_rows(ItemList& list, std::string_view e, const StateAction& action) {
  const InternedName* n = action_fields()(e);
  list.add_variable(n[kActionName], action.name);
  list.add_variable(n[kActionHasBody], truth(!action.body_text.empty()));
  list.add_variable(n[kActionBody], action.body_text);
  add_characteristics(list, action.characteristics(), e);
}

// The name, value and characteristics of a substitution under the prefix e.
void add_substitution_rows(ItemList& list, std::string_view e, const Substitution& subs) {
  enum { kName, kValue };
  static FieldNames fields{"name", "value"};
  const InternedName* n = fields(e);
  list.add_variable(n[kName], subs.name);
  list.add_variable(n[kValue], subs.value());
  add_characteristics(list, subs.characteristics(), e);
}

}  // namespace

ItemList& StateAction::variables(std::string_view prefix) {
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  add_action_rows(vars, effective_prefix(prefix_.text(), kActionPrefix), *this);
  return vars;
}

ItemList& State::variables(std::string_view prefix) {
  enum { kName, kHasAction, kIsTerminal };
  static FieldNames fields{"name", "has_action", "is_terminal"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kStatePrefix);
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  vars.add_variable(n[kHasAction], truth(action != nullptr));
  vars.add_variable(n[kIsTerminal], truth(transitions.empty()));
  add_characteristics(vars, characteristics_, e);
  // The action's rows keep their own fixed names whatever the state's prefix.
  if (action) add_action_rows(vars, kActionPrefix, *action);
  return vars;
}

ItemList& Transition::variables(std::string_view prefix) {
  enum { kEvent, kTarget, kIsDefault };
  static FieldNames fields{"event", "target_state", "is_default"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kTransitionPrefix);
  const InternedName* n = fields(e);
  vars.add_variable(n[kEvent], event_name);
  vars.add_variable(n[kTarget], target_state);
  vars.add_variable(n[kIsDefault], truth(is_default()));
  add_characteristics(vars, characteristics_, e);
  return vars;
}

ItemList& Process::variables(std::string_view prefix) {
  enum { kName, kHasFlows };
  static FieldNames fields{"name", "has_flows"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kProcessPrefix);
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  vars.add_variable(n[kHasFlows], truth(!flows.empty()));
  add_characteristics(vars, characteristics_, e);
  return vars;
}

ItemList& Flow::variables(std::string_view prefix) {
  enum { kName, kIsInflow, kIsOutflow, kOtherEnd };
  static FieldNames fields{"name", "is_inflow", "is_outflow", "src_dest_name"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kFlowPrefix);
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  vars.add_variable(n[kIsInflow], truth(direction == kFlowFrom));
  vars.add_variable(n[kIsOutflow], truth(direction == kFlowTo));
  vars.add_variable(n[kOtherEnd], other_end);
  add_characteristics(vars, characteristics_, e);
  return vars;
}

ItemList& Literal::variables(std::string_view prefix) {
  enum { kName, kText };
  static FieldNames fields{"name", "text"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kLiteralPrefix);
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  vars.add_variable(n[kText], text);
  add_characteristics(vars, characteristics_, e);
  return vars;
}

ItemList& Substitution::variables(std::string_view prefix) {
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  add_substitution_rows(vars, kSubstitutionGroup, *this);
  add_substitution_rows(vars, effective_prefix(prefix_.text(), kForeignPrefix), *this);
  return vars;
}

}  // namespace quill
