// The iterator table and the few lines that are truly each row's own: the
// list it walks and, for rows that build a scope of their own, the variables
// of that scope.
#include "template/iterator_kinds.h"

#include <string>

#include "foundation/char_set.h"
#include "model/elements.h"
#include "template/generation_run.h"

namespace quill {

CurrentSlots CurrentSlots::save(const GenerationRun& run) {
  return {run.current_element,   run.current_object,        run.current_attribute,
          run.current_state,     run.current_transition,    run.current_literal,
          run.current_process,   run.current_flow,          run.current_function,
          run.current_parameter, run.current_event,         run.current_substitution,
          run.current_instance,  run.current_characteristic};
}

void CurrentSlots::restore(GenerationRun& run) const {
  run.current_element = element;
  run.current_object = object;
  run.current_attribute = attribute;
  run.current_state = state;
  run.current_transition = transition;
  run.current_literal = literal;
  run.current_process = process;
  run.current_flow = flow;
  run.current_function = function;
  run.current_parameter = parameter;
  run.current_event = event;
  run.current_substitution = substitution;
  run.current_instance = instance;
  run.current_characteristic = characteristic;
}

namespace {

using Visits = std::vector<IteratorVisit>;

template <class List>
void add_elements(const List& list, Visits& out) {
  for (const auto& element : list) out.push_back({&*element, nullptr});
}

void add_items(const ItemList& list, Visits& out) {
  for (Item& item : list) out.push_back({nullptr, &item});
}

// One variable per characteristic, named stem + "." + the characteristic's name.
// Appended, like every row of a freshly cleared scope: a characteristic that
// happens to share a row's name (a characteristic `name`, say) comes after
// that row and so cannot hide it, as in the elements' own lists.
void add_characteristics(const Element& element, const std::string& stem, ItemList& scope) {
  for (const Variable& c : element.characteristics().variables())
    scope.add_variable(stem + "." + c.name().text(), c.value());
}

// --- lists -----------------------------------------------------------------

void objects(GenerationRun& run, const CurrentSlots& outer, const std::string&, Visits& out,
             std::string& names) {
  if (outer.object)
    add_elements(outer.object->objects, out);
  else if (run.model)
    add_elements(run.model->objects, out);
  if (out.empty()) return;
  // A nested list names its position variables obj.obj.is_1st and so on.
  std::string stem;
  for (int d = static_cast<ModelObject*>(out.front().element)->depth; d > 0; --d) stem += "obj.";
  names = stem + names;
}

void parents(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
             std::string&) {
  if (outer.object) add_elements(outer.object->parents, out);
}

void ancestors(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
               std::string&) {
  if (outer.object) add_elements(outer.object->ancestors(), out);
}

void used_objects(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
                  std::string&) {
  if (outer.object) add_elements(outer.object->used_objects, out);
}

void attributes(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
                std::string&) {
  if (outer.object) add_elements(outer.object->attributes, out);
}

void using_attributes(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
                      std::string&) {
  if (outer.object) add_elements(outer.object->using_attributes, out);
}

// The object's list when an object is current, else the model's.
template <auto ObjectList, auto ModelList>
void object_or_model(GenerationRun& run, const CurrentSlots& outer, const std::string&, Visits& out,
                     std::string&) {
  if (outer.object)
    add_elements(outer.object->*ObjectList, out);
  else if (run.model)
    add_elements(run.model->*ModelList, out);
}

// The model's list, also inside an object.
template <auto ModelList>
void model_list(GenerationRun& run, const CurrentSlots&, const std::string&, Visits& out,
                std::string&) {
  if (run.model) add_elements(run.model->*ModelList, out);
}

void parameters(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
                std::string&) {
  if (outer.function) add_elements(outer.function->parameters, out);
}

void transitions(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
                 std::string&) {
  if (outer.state) add_elements(outer.state->transitions, out);
}

void flows(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
           std::string&) {
  if (outer.process) add_elements(outer.process->flows, out);
}

void assignments(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
                 std::string&) {
  if (outer.instance) add_items(outer.instance->assignments, out);
}

void characteristics(GenerationRun&, const CurrentSlots& outer, const std::string&, Visits& out,
                     std::string&) {
  if (outer.element) add_items(outer.element->characteristics(), out);
}

const Pragma* find_pragma(const std::vector<std::unique_ptr<Pragma>>& list,
                          const std::string& name) {
  for (const auto& p : list)
    if (p->name == name) return p.get();
  return nullptr;
}

// The values of the named pragma of the current object, else of the model;
// the position variables are named after the pragma.
void pragma_values(GenerationRun& run, const CurrentSlots& outer, const std::string& subject,
                   Visits& out, std::string& names) {
  const Pragma* pragma = outer.object ? find_pragma(outer.object->pragmas, subject) : nullptr;
  if (!pragma && run.model) pragma = find_pragma(run.model->pragmas, subject);
  if (!pragma) return;
  add_items(pragma->values, out);
  names = subject;
}

// --- own scopes --------------------------------------------------------------

void parent_scope(const CurrentSlots&, const IteratorVisit& visit, const std::string& stem,
                  ItemList& scope) {
  auto& ref = static_cast<ParentRef&>(*visit.element);
  scope.add_variable(stem + ".name", ref.name);
  add_characteristics(ref, stem, scope);
}

void ancestor_scope(const CurrentSlots&, const IteratorVisit& visit, const std::string& stem,
                    ItemList& scope) {
  auto& ancestor = static_cast<ModelObject&>(*visit.element);
  scope.add_variable(stem + ".name", ancestor.name);
  add_characteristics(ancestor, "ancestor", scope);
}

bool is_own_parent(const ModelObject* owner, const ModelObject& used) {
  if (!owner) return false;
  for (const auto& ref : owner->parents)
    if (ref->name == used.name) return true;
  return false;
}

void used_object_scope(const CurrentSlots& outer, const IteratorVisit& visit,
                       const std::string& stem, ItemList& scope) {
  auto& used = static_cast<ModelObject&>(*visit.element);
  scope.add_variable(stem + ".name", used.name);
  scope.add_variable(stem + ".is_self", bool_text(&used == outer.object));
  scope.add_variable(stem + ".is_own_parent", bool_text(is_own_parent(outer.object, used)));
  scope.add_variable(stem + ".has_parents", bool_text(!used.parents.empty()));
  add_characteristics(used, stem, scope);
}

void event_scope(const CurrentSlots& outer, const IteratorVisit& visit, const std::string& stem,
                 ItemList& scope) {
  auto& event = static_cast<Event&>(*visit.element);
  scope.add_variable(stem + ".name", event.name);
  if (outer.object)
    scope.add_variable(stem + ".obj_consumes", bool_text(outer.object->consumes_event(event.name)));
  if (outer.state)
    scope.add_variable(stem + ".state_consumes",
                       bool_text(outer.state->consumes_event(event.name)));
  add_characteristics(event, stem, scope);
}

void assignment_scope(const CurrentSlots&, const IteratorVisit& visit, const std::string& stem,
                      ItemList& scope) {
  auto& assignment = static_cast<Variable&>(*visit.item);
  scope.set(stem + ".name", assignment.name().text());
  scope.set(stem + ".value", assignment.value());
}

void pragma_value_scope(const CurrentSlots&, const IteratorVisit& visit, const std::string& stem,
                        ItemList& scope) {
  scope.set(stem + ".value", static_cast<TextItem&>(*visit.item).value());
}

void characteristic_scope(const CurrentSlots&, const IteratorVisit& visit, const std::string& stem,
                          ItemList& scope) {
  auto& characteristic = static_cast<Variable&>(*visit.item);
  scope.set(stem + ".name", characteristic.name().text());
  scope.set(stem + ".value", characteristic.value());
}

// --- the table -----------------------------------------------------------------

using S = IteratorScopes;
using R = RunSlot;

constexpr IteratorKind kIteratorKinds[] = {
    {stmt_each_obj, R::object, S::element, true, false, objects, nullptr},
    {stmt_each_parent, R::parent, S::own, true, false, parents, parent_scope},
    {stmt_each_ancestor, R::object, S::own, true, false, ancestors, ancestor_scope},
    {stmt_each_used_obj, R::object, S::own, true, false, used_objects, used_object_scope},
    {stmt_each_attr, R::attribute, S::element, true, false, attributes, nullptr},
    {stmt_each_using_attr, R::attribute, S::element, true, false, using_attributes, nullptr},
    {stmt_each_function, R::function, S::element, true, false,
     object_or_model<&ModelObject::functions, &Model::functions>, nullptr},
    {stmt_each_param, R::parameter, S::element, true, false, parameters, nullptr},
    {stmt_each_state, R::state, S::element_and_action, true, false,
     object_or_model<&ModelObject::states, &Model::states>, nullptr},
    {stmt_each_transition, R::transition, S::element_only, true, false, transitions, nullptr},
    {stmt_each_event, R::event, S::own, true, false, model_list<&Model::events>, event_scope},
    {stmt_each_pragma_value, R::none, S::lasting, false, false, pragma_values, pragma_value_scope},
    {stmt_each_var_item, R::none, S::special, false, false, nullptr, nullptr},
    {stmt_each_substitution, R::substitution, S::element_only, true, true,
     model_list<&Model::substitutions>, nullptr},
    {stmt_each_obj_instance, R::instance, S::element, true, false, model_list<&Model::instances>,
     nullptr},
    {stmt_each_attr_assignment, R::none, S::own, false, false, assignments, assignment_scope},
    {stmt_each_literal_text_block, R::literal, S::element, true, false,
     object_or_model<&ModelObject::literals, &Model::literals>, nullptr},
    {stmt_each_process, R::process, S::element, true, false,
     object_or_model<&ModelObject::processes, &Model::processes>, nullptr},
    {stmt_each_flow, R::flow, S::element, true, false, flows, nullptr},
    {stmt_each_token, R::none, S::special, false, false, nullptr, nullptr},
    {stmt_refd_obj, R::object, S::special, true, false, nullptr, nullptr},
    {stmt_each_ctic, R::characteristic, S::lasting, false, false, characteristics,
     characteristic_scope},
};

}  // namespace

const IteratorKind* iterator_kind(int kind) {
  for (const IteratorKind& row : kIteratorKinds)
    if (row.kind == kind) return &row;
  return nullptr;
}
}  // namespace quill
