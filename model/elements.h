// The in-memory model: the elements that the parser creates from a model
// file, their characteristics (free-form name/value pairs) and the relations
// that the link step computes. Every list keeps the order in which elements
// were appended. Owned lists hold unique_ptrs; relation lists hold plain
// pointers to elements owned elsewhere in the same model.
//
// Templates never read these fields for text: they ask an element for its
// variable list (`variables`), a cache that is filled on first request and
// rebuilt in place after a characteristic changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/items.h"

namespace quill {

class ModelObject;
class Model;
class PreservedTargets;
class TypeUsers;
class RowNameTable;
struct RowName;

class Element {
 public:
  Element() = default;
  virtual ~Element() = default;
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  // Elements are made by the hundred thousand and live as long as their
  // model: their memory comes from the room stock (slabs, no allocator
  // header or rounding per element), and a destroyed element's room is
  // kept there for the next element of its size.
  static void* operator new(size_t bytes);
  static void operator delete(void* element, size_t bytes);

  // Sets one characteristic (a new name goes at the end, an existing one keeps
  // its place) and rebuilds the variable list.
  virtual void set_characteristic(std::string_view name, std::string_view value);
  // The element's own variable list for the prefix; owned by the element,
  // the same list object every time until release_variables frees it. The
  // base returns the cache untouched.
  virtual ItemList& variables(std::string_view prefix);

  // The value of the named characteristic, or nullptr.
  const std::string* characteristic(std::string_view name) const;
  // Sets one characteristic without rebuilding the variables.
  void set_characteristic_only(std::string_view name, std::string_view value);
  // Sets every characteristic of source on this element, in source's order.
  void merge_characteristics(const Element& source);
  void merge_characteristics(const ItemList& source);
  // Removes every characteristic whose name source does not have.
  void keep_common_characteristics(const Element& source);
  void keep_common_characteristics(const ItemList& source);
  // Clears the variable list and requests it again with the prefix ".".
  void rebuild_variables();
  // The same for a kind whose rows under "." are those of its remembered
  // prefix (ModelObject, Function, StateAction, Literal): the list then
  // counts as filled by a scope request, so that release_variables frees it
  // when unchanged (a refill would make the same rows). A list that holds
  // no rows stays so: it is filled from the fields when first asked for,
  // and a scope holding it unfilled reads the fields already.
  void refill_variables();
  // The same for an element no scope holds: the list is only cleared while
  // no prefix was remembered, and filled on its next request.
  void discard_variables();

  const ItemList& characteristics() const { return characteristics_; }
  // The list to edit (the parser and the link step); counted as a possible
  // change of uid.
  ItemList& edit_characteristics() {
    ++uid_edits_;
    ++literal_edits_;
    return characteristics_;
  }
  // Counts the changes that may have given some element another `uid`
  // characteristic (a uid set, a merge, a removal, an edit through the
  // mutable list): an index of elements by uid is current while this is.
  static std::uint64_t uid_edits() { return uid_edits_; }
  // Counts the characteristics set on literals through set_characteristic,
  // and the edits of any element's characteristics through the mutable list:
  // the model's rows for its literals are current while this count is.
  // (Loading and the capture set theirs with set_characteristic_only; the
  // capture refreshes the lists it touches.)
  static std::uint64_t literal_edits() { return literal_edits_; }
  const std::string& remembered_prefix() const { return prefix_.text(); }

  // `variables` for a scope that an iterator pushes, noting whether the
  // request filled the list.
  ItemList& scope_variables(std::string_view prefix);
  // Frees the list when a scope request filled it and nothing changed it
  // since (no item added, removed or set in it, no value written through a
  // found Variable anywhere), so that the lists of a large model need not
  // all stay in memory. The next request with the remembered prefix makes
  // and fills a new list. The caller makes sure no scope holds the list.
  void release_variables();
  // The list as it is now, without filling it (an empty list when none was made).
  const ItemList& cached_variables() const;

  // The first steps of `variables` without the filling: for a prefix other
  // than "." that differs from the remembered one the list is emptied and
  // the prefix remembered. Returns the list, filled or not; a scope holding
  // it unfilled answers lookups through row_value until it is filled.
  ItemList& prepare_scope(std::string_view prefix);
  // For kinds that answer lookups from their fields: how names are matched
  // against the rows `variables(prefix)` would make now (after prepare_scope
  // with that prefix). nullptr for every other kind.
  virtual const RowNameTable* row_names(std::string_view prefix) const;
  // The value of the first of those rows that has the name (classified by
  // the table of row_names), read from the fields; nullptr when none has it.
  // Lookups are answered this way so that the rows of an element that are
  // never read whole need no list at all.
  virtual const std::string* row_value(const RowName& name) const;

 protected:
  // The variable list that `variables` fills, made on first request.
  ItemList& cache();

  // The variable builders of the derived classes fill cache() and keep prefix_.
  ItemList characteristics_;
  // The remembered prefix, initially empty; interned, since a handful of
  // prefixes are remembered by every element of a large model.
  InternedName prefix_ = no_prefix();

 private:
  static const InternedName& no_prefix();

  inline static std::uint64_t uid_edits_ = 0;

 protected:
  inline static std::uint64_t literal_edits_ = 0;  // Literal counts its own sets

 private:
  // The variable list with what a scope request last filled it with:
  // list.version() and TextItem::value_writes() at that moment
  // (filled_version 0: not filled by such a request). It lives on the heap
  // and only while needed: most elements of a large model have no list at
  // any one time, and an inline list would cost every element its room.
  struct VariableCache {
    ItemList list;
    std::uint64_t filled_version = 0;
    std::uint64_t filled_writes = 0;
  };
  std::unique_ptr<VariableCache> cache_;

  // A cache from the stock of released ones (emptied, room kept), or a new one.
  static std::unique_ptr<VariableCache> take_cache();
  // Empties a released cache and keeps it in stock for the next take_cache.
  static void give_cache(std::unique_ptr<VariableCache> cache);
  static std::vector<std::unique_ptr<VariableCache>>& cache_stock();
};

class NamedElement : public Element {
 public:
  NamedElement() = default;
  explicit NamedElement(std::string_view n) : name(n) {}

  std::string name;
};

// A text that is empty on nearly every element that has one (initial and
// default values), held as a single pointer: room for the text is made by
// the first non-empty value. The text object, once made, stays for the
// element's lifetime, so a reference to it stays valid across later sets
// (while the text is empty, get() answers a shared empty string).
class RareText {
 public:
  const std::string& get() const { return text_ ? *text_ : empty(); }
  void set(std::string_view text);

 private:
  static const std::string& empty();
  std::unique_ptr<std::string> text_;
};

class TypedElement : public NamedElement {
 public:
  TypedElement() = default;
  TypedElement(std::string_view n, std::string_view t) : NamedElement(n), type_(t) {}

  // The type name as written (after the checks: as substituted). A model's
  // elements share a handful of type names, so each is held once (interned).
  const std::string& type() const { return type_.text(); }
  void set_type(std::string_view type) {
    type_ = InternedName(type);
    ++type_edits_;
  }
  // Counts the calls of set_type on any element: an index of elements by
  // type is current while this is.
  static std::uint64_t type_edits() { return type_edits_; }

  // The mapping word, "simple" when none was written. Mapping words are few,
  // so each is held once (interned) instead of in every element.
  const std::string& mapping() const { return mapping_.text(); }
  void set_mapping(std::string_view mapping) { mapping_ = InternedName(mapping); }

  bool resolved = false;         // the type names a top-level object (link step)

 private:
  static const InternedName& simple_mapping();

  InternedName type_{std::string_view()};
  inline static std::uint64_t type_edits_ = 0;
  InternedName mapping_ = simple_mapping();
};

class Parameter : public TypedElement {
 public:
  using TypedElement::TypedElement;
  ItemList& variables(std::string_view prefix) override;
  const RowNameTable* row_names(std::string_view prefix) const override;
  const std::string* row_value(const RowName& name) const override;

  // Empty when none.
  const std::string& default_value() const { return default_value_.get(); }
  void set_default_value(std::string_view value) { default_value_.set(value); }

 private:
  RareText default_value_;
};

class Attribute : public TypedElement {
 public:
  using TypedElement::TypedElement;
  ItemList& variables(std::string_view prefix) override;
  const RowNameTable* row_names(std::string_view prefix) const override;
  const std::string* row_value(const RowName& name) const override;

  // Empty when none.
  const std::string& initial_value() const { return initial_value_.get(); }
  void set_initial_value(std::string_view value) { initial_value_.set(value); }

  ModelObject* type_object = nullptr;  // not owned; set by the link step

 private:
  RareText initial_value_;
};

class ReturnType : public TypedElement {
 public:
  using TypedElement::TypedElement;
};

class Instance : public TypedElement {
 public:
  using TypedElement::TypedElement;
  ItemList& variables(std::string_view prefix) override;

  ItemList assignments;  // Variables: attribute name and assigned text, in written order
};

class Function : public NamedElement {
 public:
  using NamedElement::NamedElement;
  ItemList& variables(std::string_view prefix) override;
  const RowNameTable* row_names(std::string_view prefix) const override;
  const std::string* row_value(const RowName& name) const override;

  std::vector<std::unique_ptr<Parameter>> parameters;
  std::unique_ptr<ReturnType> return_type;  // none when the function returns nothing
  std::string body_text;
};

class StateAction : public NamedElement {
 public:
  using NamedElement::NamedElement;
  ItemList& variables(std::string_view prefix) override;

  std::string body_text;
};

class Transition : public Element {
 public:
  Transition() = default;
  Transition(std::string_view event, std::string_view target)
      : event_name(event), target_state(target) {}
  ItemList& variables(std::string_view prefix) override;

  // True when the event name is "any".
  bool is_default() const { return event_name == "any"; }

  std::string event_name;
  std::string target_state;
};

class State : public NamedElement {
 public:
  using NamedElement::NamedElement;
  ItemList& variables(std::string_view prefix) override;

  // True when some transition's event name equals event.
  bool consumes_event(std::string_view event) const;

  std::unique_ptr<StateAction> action;  // none when the state has no action
  std::vector<std::unique_ptr<Transition>> transitions;
};

class Event : public NamedElement {
 public:
  using NamedElement::NamedElement;
};

// Direction of a Flow.
constexpr int kFlowUnset = 0;
constexpr int kFlowFrom = 1;  // an inflow
constexpr int kFlowTo = 2;    // an outflow

class Flow : public NamedElement {
 public:
  using NamedElement::NamedElement;
  ItemList& variables(std::string_view prefix) override;

  std::string other_end;  // the name written after `from` or `to`
  int direction = kFlowUnset;
};

class Process : public NamedElement {
 public:
  using NamedElement::NamedElement;
  ItemList& variables(std::string_view prefix) override;

  std::vector<std::unique_ptr<Flow>> flows;
};

class Literal : public NamedElement {
 public:
  Literal() = default;
  Literal(std::string_view n, std::string_view t) : NamedElement(n), text(t) {}
  ItemList& variables(std::string_view prefix) override;
  // Counted (literal_edits): the model's list shows a literal's
  // characteristics, and is made again rather than extended after a change.
  void set_characteristic(std::string_view name, std::string_view value) override;

  // The names of the rows the literal gives its model's or object's list:
  // "literal.<name>", then one per characteristic, in their order. Kept
  // and made again only when the name or the characteristics' names
  // changed: the model's list is made again whenever its rows may have
  // changed, and interning every name again each time cost more than the
  // rest of a run that turns thousands of sections into literals.
  struct RowNames {
    std::string name;                 // the literal's name they were made for
    const void* group = nullptr;      // "literal.<name>"
    std::vector<std::pair<const void*, const void*>> characteristics;  // name -> row name
  };
  const RowNames& row_names() const;

  std::string text;

 private:
  mutable RowNames row_names_;
};

class Pragma : public NamedElement {
 public:
  using NamedElement::NamedElement;

  // Appends a TextItem holding the value.
  void add_value(std::string_view value) { values.add_text(value); }

  ItemList values;  // TextItems, in written order
};

// A substitution (name = "text"), a foreign type or a built-in type. The
// definition, when there is one, is the characteristic `type_decl`.
class Substitution : public NamedElement {
 public:
  Substitution() = default;
  // An empty definition sets no `type_decl`.
  explicit Substitution(std::string_view n, std::string_view definition = {});
  ItemList& variables(std::string_view prefix) override;

  // The `type_decl` characteristic, else the name.
  const std::string& value() const;
};

class ParentRef : public NamedElement {
 public:
  using NamedElement::NamedElement;

  ModelObject* parent = nullptr;  // not owned; set by the link step
};

class ModelObject : public NamedElement {
 public:
  using NamedElement::NamedElement;

  // Sets the characteristic, rebuilds the variables and, while a model is
  // current, merges this object's characteristics into every element typed
  // by it (and every ParentRef naming it).
  void set_characteristic(std::string_view name, std::string_view value) override;
  ItemList& variables(std::string_view prefix) override;

  // Sets `obj` (when this object has a name) and `is_self` (when the
  // attribute's type is this object's name) and appends the attribute.
  Attribute& add_attribute(std::unique_ptr<Attribute> attribute);
  // Appends a nested object at this object's depth plus one.
  ModelObject& add_object(std::unique_ptr<ModelObject> object);
  // True when some state has a transition on the event.
  bool consumes_event(std::string_view event) const;
  // True when some ParentRef names the other object.
  bool has_parent(const ModelObject& other) const;
  // The resolved parents' ancestors then the parents themselves, most distant
  // first; computed on first request.
  const std::vector<ModelObject*>& ancestors();

  std::vector<std::unique_ptr<ModelObject>> objects;  // nested objects
  std::vector<std::unique_ptr<ParentRef>> parents;
  std::vector<std::unique_ptr<Attribute>> attributes;
  std::vector<std::unique_ptr<State>> states;
  std::vector<std::unique_ptr<Function>> functions;
  std::vector<std::unique_ptr<Process>> processes;
  std::vector<std::unique_ptr<Pragma>> pragmas;
  std::vector<std::unique_ptr<Literal>> literals;
  std::vector<ModelObject*> used_objects;     // no repeats
  std::vector<ModelObject*> users;            // no repeats
  std::vector<Attribute*> using_attributes;   // no repeats
  ItemList usage_tags;                        // TextItems, one per use
  int depth = 0;                              // 0 for a top-level object

 private:
  void compute_ancestors();

  std::vector<ModelObject*> ancestors_;
  bool ancestors_known_ = false;
  bool on_path_ = false;  // set while ancestors are being computed through it
};

class Model : public NamedElement {
 public:
  using NamedElement::NamedElement;
  ItemList& variables(std::string_view prefix) override;

  // The first top-level object with exactly that name, or nullptr.
  ModelObject* find_object(std::string_view object_name) const;

  // Sets the characteristic and refreshes the list (refresh_variables): a
  // run's outermost scope keeps what the template set in it.
  void set_characteristic(std::string_view name, std::string_view value) override;

  // Rebuilds the list after its literals or functions changed (a capture of
  // preserved texts). Every run has this list as its first scope, so it also
  // holds the variables a template sets outside any loop: those are kept,
  // after the new rows.
  void refresh_variables();
  // The same after literals were appended from index `first` on (orphans)
  // and nothing else changed: while the list has only had variables
  // appended since it was last made, and no literal's characteristic was set since,
  // the new literals' rows are put in after the other literals' rows, where
  // a rebuild would put them, and the rest of the list is kept. A run that
  // orphans a hundred thousand sections makes orphans in every file, and
  // rebuilding the whole list for each would cost the square of that.
  // Otherwise, or when one of the new rows' names is already in the list,
  // the list is refreshed.
  void add_literal_rows(size_t first);

  std::vector<std::unique_ptr<ModelObject>> objects;  // top-level objects
  std::vector<std::unique_ptr<Function>> functions;
  std::vector<std::unique_ptr<State>> states;
  std::vector<std::unique_ptr<Instance>> instances;
  std::vector<std::unique_ptr<Event>> events;
  std::vector<std::unique_ptr<Substitution>> substitutions;
  std::vector<std::unique_ptr<Pragma>> pragmas;
  std::vector<std::unique_ptr<Literal>> literals;
  std::vector<std::unique_ptr<Process>> processes;
  bool has_behavior = false;
  bool has_inheritance = false;
  bool has_multiple_inheritance = false;
  bool check_verdict = false;  // the result of the last checks

  // The elements that preserved texts can go to, by uid (see capture.h):
  // made by the first capture of a generation run.
  struct DropTargets {
    void operator()(PreservedTargets* targets) const;
  };
  std::unique_ptr<PreservedTargets, DropTargets> preserved_targets;

  // A generation run adds no elements to the model but orphan literals and
  // changes no type, so while one lasts the model keeps indexes of its
  // elements: the one above, and the elements that take their
  // characteristics from an object (see ModelObject::set_characteristic).
  // The run opens and closes that time; both indexes are dropped then.
  void begin_run();
  void end_run();
  // The index, made on first use; nullptr outside a run.
  const TypeUsers* type_users();

 private:
  struct DropUsers {
    void operator()(TypeUsers* users) const;
  };
  bool in_run_ = false;
  // Notes the rows just made (the first `rows` of the list) and the list as
  // it stands.
  void note_rows(size_t rows);
  // The rows refresh_variables made last: their count and the last one.
  size_t rows_ = 0;
  const Item* last_row_ = nullptr;
  const void* last_row_name_ = nullptr;
  // Where the rows of the literals end, as `variables` made them.
  size_t literal_rows_end_ = 0;
  // The list's version and count, and the literal edits, when the rows were
  // last noted.
  std::uint64_t noted_version_ = 0;
  size_t noted_count_ = 0;
  std::uint64_t noted_edits_ = 0;
  std::unique_ptr<TypeUsers, DropUsers> type_users_;
};

// The compiled model that ModelObject::set_characteristic propagates through
// (nullptr when none). The engine sets it after a compile and clears it
// before the model is destroyed.
Model* current_model();
void set_current_model(Model* model);

// Relation lists: move the element to the end (remove it if present, then
// append); remove the element if present.
template <class T>
void move_to_end(std::vector<T*>& list, T* element) {
  std::erase(list, element);
  list.push_back(element);
}

}  // namespace quill
