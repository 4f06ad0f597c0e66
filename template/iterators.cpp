// Execution of the iterator statements and .refd_obj.
//
// Every iterator but .each_var_item, .each_token and .refd_obj runs one
// procedure driven by its row of the iterator table: collect the list, then
// for each entry make it current, push its scopes, set the four position
// variables, test the filter, run the separator between two passing entries,
// run the children and pop the scopes. The slots of the run are saved first
// and restored at the end, so after the statement they are as before it.
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/pattern.h"
#include "model/elements.h"
#include "template/generation_run.h"
#include "template/iterator_kinds.h"
#include "template/statements.h"

namespace quill {

namespace {

// Pushes scopes and pops exactly as many when it goes out of scope.
class ScopeStack {
 public:
  explicit ScopeStack(SymbolTable& table) : table_(table) {}
  ~ScopeStack() { pop_all(); }
  ScopeStack(const ScopeStack&) = delete;
  ScopeStack& operator=(const ScopeStack&) = delete;

  void push(ItemList& list) {
    table_.push(list);
    ++pushed_;
  }
  void push_rows(Element& element, std::string_view prefix) {
    table_.push_rows(element, prefix);
    ++pushed_;
  }
  void pop_all() {
    for (; pushed_ > 0; --pushed_) table_.pop();
  }

 private:
  SymbolTable& table_;
  int pushed_ = 0;
};

// Sets the four position variables in the innermost scope.
void set_positions(SymbolTable& table, const PositionNames& names, bool first, bool last,
                   long position) {
  table.set(names.is_only, bool_text(first && last));
  table.set(names.is_1st, bool_text(first));
  table.set(names.is_nth, bool_text(last));
  table.set(names.l_pos, int_text(position));
}

// The position variables of one walk, for every entry. An entry after the
// first finds them where the previous entry set them: while the innermost
// scope is the walk's own list and nothing added, removed or set anything in
// it since (its version tells), the Variables found then are assigned
// directly instead of being looked up by name again.
//
// A walk over elements leaves its scope and that knowledge to the next walk
// of the same statement (KeptWalk): when nothing changed the scope since, the
// next walk starts where a fresh scope would be after its first entry's
// positions were set, and sets them by assignment as well.
class Positions {
 public:
  // Where the position variables are: the scope they were set in, its
  // version then, and the Variables.
  struct Found {
    const ItemList* scope = nullptr;
    std::uint64_t version = 0;
    Variable* variables[8] = {};
  };

  Positions(const PositionNames& names, bool subs, const ItemList& own, Found& found)
      : names_(names), subs_(subs), own_(own), scope_(found.scope), version_(found.version),
        found_(found.variables) {}

  void set(SymbolTable& table, bool first, bool last, long position) {
    ItemList& scope = table.current_scope();
    if (&scope != &own_ || scope_ != &own_ || scope.version() != version_)
      return set_by_name(table, first, last, position);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, position).ptr;
    const std::string_view values[4] = {bool_text(first && last), bool_text(first),
                                        bool_text(last), std::string_view(digits, end - digits)};
    for (size_t i = 0; i < count(); ++i) {
      const std::string_view value = values[i % 4];
      if (found_[i]->value() != value) found_[i]->assign_value(value);
    }
    scope.note_change();
    version_ = scope.version();
  }

 private:
  size_t count() const { return subs_ ? 8 : 4; }

  void set_by_name(SymbolTable& table, bool first, bool last, long position) {
    set_positions(table, names_, first, last, position);
    if (subs_) set_positions(table, subs_names(), first, last, position);
    const PositionNames* all[2] = {&names_, &subs_names()};
    for (size_t i = 0; i < count(); ++i) {
      const PositionNames& n = *all[i / 4];
      const InternedName* name[4] = {&n.is_only, &n.is_1st, &n.is_nth, &n.l_pos};
      found_[i] = table.find_current(*name[i % 4]);
      if (found_[i] == nullptr) {  // not where they were set: no shortcut for this walk
        scope_ = nullptr;
        return;
      }
    }
    scope_ = &table.current_scope();
    version_ = scope_->version();
  }

  static const PositionNames& subs_names() {
    static const PositionNames names = PositionNames::of("subs");
    return names;
  }

  const PositionNames& names_;
  const bool subs_;
  const ItemList& own_;
  const ItemList*& scope_;  // where the Variables in found_ are
  std::uint64_t& version_;
  Variable** found_;
};

}  // namespace

struct IteratorStatement::KeptWalk {
  ItemList own;
  Positions::Found found;
  const void* names = nullptr;  // the position names it was set under
  bool subs = false;
  bool in_use = false;  // a walk of the statement is running (a module may recurse into it)
};

void IteratorStatement::forget_kept_walk(KeptWalk* kept) { delete kept; }

bool IteratorStatement::kept_walk_in_use() const { return kept_walk_ && kept_walk_->in_use; }

IteratorStatement::KeptWalk& IteratorStatement::kept_walk() {
  if (!kept_walk_) kept_walk_.reset(new KeptWalk);
  return *kept_walk_;
}

namespace {

// The scope and positions of one walk: the statement's kept ones when the
// walk may take them (element walks, no walk of the statement running),
// else fresh ones. A kept scope that anything changed after its positions
// were last set starts empty, as a fresh one.
class WalkScope {
 public:
  WalkScope(IteratorStatement& it, const IteratorKind& row, const PositionNames& names)
      : kept_(takes_kept(it, row) ? &it.kept_walk() : nullptr) {
    if (kept_ == nullptr) return;
    kept_->in_use = true;
    if (!holds_just_positions(*kept_, row.subs_names ? 8 : 4) ||
        kept_->names != names.is_only.id() || kept_->subs != row.subs_names) {
      kept_->own.clear();
      kept_->found = Positions::Found{};
      kept_->names = names.is_only.id();
      kept_->subs = row.subs_names;
    }
  }
  ~WalkScope() {
    if (kept_ != nullptr) kept_->in_use = false;
  }
  WalkScope(const WalkScope&) = delete;
  WalkScope& operator=(const WalkScope&) = delete;

  ItemList& own() { return kept_ ? kept_->own : own_; }
  Positions::Found& found() { return kept_ ? kept_->found : found_; }

 private:
  // True when the scope holds the position Variables in the order they were
  // set and nothing else, as a fresh scope would after setting them. (A body
  // can leave more behind without changing the scope's version: a value
  // written into a Variable it found there.)
  static bool holds_just_positions(const IteratorStatement::KeptWalk& kept, size_t count) {
    if (kept.found.scope != &kept.own || kept.own.count() != count) return false;
    for (size_t i = 0; i < count; ++i)
      if (&kept.own.at(i) != kept.found.variables[i]) return false;
    return true;
  }

  static bool takes_kept(IteratorStatement& it, const IteratorKind& row) {
    const bool element_walk =
        row.scopes == IteratorScopes::element || row.scopes == IteratorScopes::element_and_action;
    return element_walk && !it.kept_walk_in_use();
  }

  IteratorStatement::KeptWalk* kept_;
  ItemList own_;
  Positions::Found found_;
};

// The filter, the separator between two passing entries and the children.
void run_body(IteratorStatement& it, GenerationRun& run, bool& separator_pending) {
  if (!is_true(it.filter(), run)) return;
  if (separator_pending && it.separator()) it.separator()->execute(run);
  separator_pending = true;
  it.execute_children(run);
}

// Makes the entry current in the row's run slot.
void enter(GenerationRun& run, const IteratorKind& row, const IteratorVisit& visit) {
  if (row.sets_element) run.current_element = visit.element;
  switch (row.slot) {
    case RunSlot::none:
      break;
    case RunSlot::object:
      run.current_object = static_cast<ModelObject*>(visit.element);
      break;
    case RunSlot::parent:
      run.current_object = static_cast<ParentRef*>(visit.element)->parent;
      break;
    case RunSlot::attribute:
      run.current_attribute = static_cast<Attribute*>(visit.element);
      break;
    case RunSlot::function:
      run.current_function = static_cast<Function*>(visit.element);
      break;
    case RunSlot::parameter:
      run.current_parameter = static_cast<Parameter*>(visit.element);
      break;
    case RunSlot::state:
      run.current_state = static_cast<State*>(visit.element);
      break;
    case RunSlot::transition:
      run.current_transition = static_cast<Transition*>(visit.element);
      break;
    case RunSlot::event:
      run.current_event = static_cast<Event*>(visit.element);
      break;
    case RunSlot::substitution:
      run.current_substitution = static_cast<Substitution*>(visit.element);
      break;
    case RunSlot::instance:
      run.current_instance = static_cast<Instance*>(visit.element);
      break;
    case RunSlot::literal:
      run.current_literal = static_cast<Literal*>(visit.element);
      break;
    case RunSlot::process:
      run.current_process = static_cast<Process*>(visit.element);
      break;
    case RunSlot::flow:
      run.current_flow = static_cast<Flow*>(visit.element);
      break;
    case RunSlot::characteristic:
      run.current_characteristic = static_cast<Variable*>(visit.item);
      break;
  }
}

// The state action's variables join the state's. They are asked under the
// action's own prefix: under the loop variable's they would hide the
// state's name behind the action's.
constexpr const char* kActionPrefix = "state_action";

// Pushes the scopes of one entry; `own` is the iterator's scope for this
// execution. The position variables then go into the innermost scope.
void push_scopes(ScopeStack& scopes, const IteratorKind& row, const IteratorVisit& visit,
                 const CurrentSlots& outer, const IteratorStatement& it, const std::string& stem,
                 ItemList& own) {
  switch (row.scopes) {
    case IteratorScopes::element:
      scopes.push_rows(*visit.element, it.prefix());
      scopes.push(own);
      break;
    case IteratorScopes::element_and_action:
      scopes.push(visit.element->scope_variables(it.prefix()));
      if (auto* action = static_cast<State*>(visit.element)->action.get())
        scopes.push(action->scope_variables(kActionPrefix));
      scopes.push(own);
      break;
    case IteratorScopes::element_only:
      scopes.push_rows(*visit.element, it.prefix());
      break;
    case IteratorScopes::own:
      own.clear();
      row.fill(outer, visit, stem, own);
      scopes.push(own);
      break;
    case IteratorScopes::lasting:  // the fillers replace their values in place
      row.fill(outer, visit, stem, own);
      scopes.push(own);
      break;
    case IteratorScopes::special:
      break;
  }
}

void release_list(Element& element, const SymbolTable& table) {
  if (!table.holds(element.cached_variables())) element.release_variables();
}

// Once an object's turn is over, the variable lists of the object and of its
// members are freed (when unchanged; they are filled again on request), so
// that generating from a large model holds the lists of the objects in
// progress, not of the whole model.
void release_object_lists(ModelObject& object, const SymbolTable& table) {
  release_list(object, table);
  for (auto& attribute : object.attributes) release_list(*attribute, table);
  for (auto& function : object.functions) {
    release_list(*function, table);
    for (auto& param : function->parameters) release_list(*param, table);
  }
  for (auto& state : object.states) {
    release_list(*state, table);
    if (state->action) release_list(*state->action, table);
    for (auto& transition : state->transitions) release_list(*transition, table);
  }
  for (auto& process : object.processes) {
    release_list(*process, table);
    for (auto& flow : process->flows) release_list(*flow, table);
  }
  for (auto& literal : object.literals) release_list(*literal, table);
}

// The common procedure of every row with a list collector.
void walk_list(IteratorStatement& it, const IteratorKind& row, GenerationRun& run) {
  const CurrentSlots outer = CurrentSlots::save(run);
  std::vector<IteratorVisit> visits;
  std::string stem = it.prefix();
  row.collect(run, outer, it.subject(), visits, stem);
  if (visits.empty()) return;
  const PositionNames names = stem == it.prefix() ? it.position_names() : PositionNames::of(stem);

  WalkScope walk_scope(it, row, names);
  ItemList& own = walk_scope.own();
  Positions positions(names, row.subs_names, own, walk_scope.found());
  bool separator_pending = false;
  const size_t count = visits.size();
  for (size_t i = 0; i < count; ++i) {
    enter(run, row, visits[i]);
    {
      ScopeStack scopes(run.symbols);
      push_scopes(scopes, row, visits[i], outer, it, stem, own);
      positions.set(run.symbols, i == 0, i + 1 == count, static_cast<long>(i));
      run_body(it, run, separator_pending);
    }
    if (it.kind() == stmt_each_obj)
      release_object_lists(*static_cast<ModelObject*>(visits[i].element), run.symbols);
  }
  outer.restore(run);
}

// .each_var_item over an array variable: a copy is walked, so the body may
// change the array; empty entries are skipped but still count for first and last.
void walk_array(IteratorStatement& it, GenerationRun& run, const StringSet& array) {
  const std::vector<std::string> items = array.items();
  const InternedName value_name(it.subject() + ".value");
  const PositionNames names = PositionNames::of(it.subject());
  ItemList scope;
  bool separator_pending = false;
  long position = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].empty()) continue;
    scope.clear();
    ScopeStack scopes(run.symbols);
    scopes.push(scope);
    run.symbols.set(value_name, items[i]);
    set_positions(run.symbols, names, i == 0, i + 1 == items.size(), position++);
    run_body(it, run, separator_pending);
  }
}

// .each_var_item over a keyed variable: the variable itself is walked, with
// the count taken at the start. It is looked up again for every pair, since
// the body may change or delete it.
void walk_keyed(IteratorStatement& it, GenerationRun& run, size_t count) {
  const std::string& name = it.subject();
  const InternedName key_name(name + ".key"), value_name(name + ".value");
  const PositionNames names = PositionNames::of(name);
  ItemList scope;
  bool separator_pending = false;
  for (size_t i = 0; i < count; ++i) {
    const StringMap* map = run.keyed.find(name);
    if (!map) break;
    const std::string key = map->keys().item(i), value = map->values().item(i);
    scope.clear();
    ScopeStack scopes(run.symbols);
    scopes.push(scope);
    run.symbols.set(key_name, key);
    run.symbols.set(value_name, value);
    set_positions(run.symbols, names, i == 0, i + 1 == count, static_cast<long>(i));
    run_body(it, run, separator_pending);
  }
}

void walk_var_items(IteratorStatement& it, GenerationRun& run) {
  if (const StringSet* array = run.arrays.find(it.subject()))
    walk_array(it, run, *array);
  else if (const StringMap* map = run.keyed.find(it.subject()))
    walk_keyed(it, run, map->count());
}

// Splits the evaluated arguments of .each_token into pattern and subject;
// false when they are malformed.
bool split_token_arguments(const std::string& args, std::string& pattern, std::string& subject) {
  const size_t blank = find_member(sets::white(), args);
  if (args.size() <= 2 || blank == args.size()) return false;
  if (args[0] != '"') {
    pattern = args.substr(0, blank);
    subject = args.substr(blank + 1);
    return true;
  }
  size_t close = 1;
  while (close < args.size() && !(args[close] == '"' && args[close - 1] != '\\')) ++close;
  pattern = args.substr(1, close - 1);
  subject = close < args.size() ? args.substr(close + 1) : std::string();
  trim_left(subject, sets::white());
  return true;
}

// .each_token: each match of the pattern in the subject, left to right.
void walk_tokens(IteratorStatement& it, GenerationRun& run) {
  std::string args, pattern_text, subject;
  evaluate(it.filter(), args, run, false);
  if (!split_token_arguments(args, pattern_text, subject)) {
    error("Malformed args to .each_token statement at template line %s",
          int_text(it.line_number()));
    return;
  }
  const Pattern pattern(pattern_text);
  const InternedName value_name(it.prefix() + ".value");
  ItemList scope;
  bool separator_pending = false;
  for (long from = 0; from < static_cast<long>(subject.size());) {
    const Pattern::Found found = pattern.search(subject, from);
    if (found.length <= 0) break;
    ScopeStack scopes(run.symbols);
    scopes.push(scope);
    run.symbols.set(value_name, std::string_view(subject).substr(found.start, found.length));
    if (separator_pending && it.separator()) it.separator()->execute(run);
    separator_pending = true;
    it.execute_children(run);
    from = found.start + found.length;
  }
}

// .refd_obj: the object that is the current attribute's type, once.
void run_refd_obj(IteratorStatement& it, GenerationRun& run) {
  if (!run.current_attribute || !run.current_attribute->type_object) return;
  ModelObject* object = run.current_attribute->type_object;
  const CurrentSlots outer = CurrentSlots::save(run);
  run.current_object = object;
  run.current_element = object;
  {
    ItemList empty;
    ScopeStack scopes(run.symbols);
    scopes.push(object->variables(it.prefix()));
    scopes.push(empty);
    if (is_true(it.filter(), run)) it.execute_children(run);
  }
  outer.restore(run);
}

}  // namespace

void IteratorStatement::execute(GenerationRun& run) {
  switch (kind_) {
    case stmt_each_var_item:
      return walk_var_items(*this, run);
    case stmt_each_token:
      return walk_tokens(*this, run);
    case stmt_refd_obj:
      return run_refd_obj(*this, run);
    default:
      break;
  }
  const IteratorKind* row = iterator_kind(kind_);
  if (row && row->collect) walk_list(*this, *row, run);
}

}  // namespace quill
