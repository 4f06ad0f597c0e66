// The iterator statements as one table: a row per kind tells which list the
// iterator walks, which run slot it makes current and how the visited
// element's variables reach the symbol table. One procedure (iterators.cpp)
// runs every row. The load-time facts (keyword, default loop variable name,
// header form) are in IteratorKindRow (statements.h).
#pragma once

#include <string>
#include <vector>

#include "template/statement_kind.h"

namespace quill {

class Attribute;
class Element;
class Event;
class Flow;
class Function;
class Instance;
class Item;
class ItemList;
class Literal;
class ModelObject;
class Parameter;
class Process;
class State;
class Substitution;
class Transition;
class Variable;
struct GenerationRun;

// The run slot an iterator sets for each element it visits.
enum class RunSlot {
  none,
  object,
  parent,  // the current object := the referenced parent, the current element := the reference
  attribute,
  function,
  parameter,
  state,
  transition,
  event,
  substitution,
  instance,
  literal,
  process,
  flow,
  characteristic,
};

// How the variables of a visited element reach the symbol table.
enum class IteratorScopes {
  element,             // the element's own list under the prefix, then the position scope
  element_and_action,  // as element, with the state's action list between the two
  element_only,        // the element's own list, which also takes the position variables
  own,                 // one scope of the row's own variables, position variables in it too
  lasting,             // as own, but the scope lives for the whole loop: what the body
                       // sets there is still seen while the next item is visited
  special,             // walked by code of its own (pragma values, array items, tokens, .refd_obj)
};

// The current-element slots of a run, saved when an iterator starts and
// restored when it ends; collectors and fillers read the slots as they were
// before the iterator.
struct CurrentSlots {
  Element* element = nullptr;
  ModelObject* object = nullptr;
  Attribute* attribute = nullptr;
  State* state = nullptr;
  Transition* transition = nullptr;
  Literal* literal = nullptr;
  Process* process = nullptr;
  Flow* flow = nullptr;
  Function* function = nullptr;
  Parameter* parameter = nullptr;
  Event* event = nullptr;
  Substitution* substitution = nullptr;
  Instance* instance = nullptr;
  Variable* characteristic = nullptr;

  static CurrentSlots save(const GenerationRun& run);
  void restore(GenerationRun& run) const;
};

// One entry of a walked list: a model element, or an item of an element's
// value list (a characteristic, an assignment, a pragma value).
struct IteratorVisit {
  Element* element = nullptr;
  Item* item = nullptr;
};

// Collects what an iterator walks, in list order; leaves the list empty when
// the owner of the list is absent. `names` starts as the loop variable name
// and may be changed to the stem of the position variable names.
using ListCollector = void (*)(GenerationRun& run, const CurrentSlots& outer,
                               const std::string& subject, std::vector<IteratorVisit>& out,
                               std::string& names);
// Fills the scope of an `own` row for one entry; `names` is the stem the
// collector chose.
using ScopeFiller = void (*)(const CurrentSlots& outer, const IteratorVisit& visit,
                             const std::string& names, ItemList& scope);

struct IteratorKind {
  StatementKind kind;
  RunSlot slot;
  IteratorScopes scopes;
  bool sets_element;      // the visited element also becomes the current element
  bool subs_names;        // position variables also under subs.is_only, ...
  ListCollector collect;  // null for special rows
  ScopeFiller fill;       // set for `own` rows only
};

// The row of an iterator kind (every iterator kind and stmt_refd_obj), or
// nullptr for any other kind.
const IteratorKind* iterator_kind(int kind);

}  // namespace quill
