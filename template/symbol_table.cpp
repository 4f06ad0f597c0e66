#include "template/symbol_table.h"

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "model/element_rows.h"
#include "model/elements.h"

namespace quill {

namespace {

constexpr std::string_view kTooDeep =
    "Template nesting exceeds %s scopes; the variables of deeper scopes are not visible.";

Variable* find_in(const ItemList& scope, const InternedName& name) { return scope.find(name); }

bool holds_item(const ItemList& scope, const Item* item) {
  for (const Item& i : scope)
    if (&i == item) return true;
  return false;
}

}  // namespace

SymbolTable::SymbolTable(size_t capacity)
    : capacity_(capacity < 1 ? 1 : capacity),
      global_(std::make_unique<ItemList>()) {
  scopes_.reserve(capacity_);
  scopes_.push_back(Scope{global_.get()});
}

SymbolTable::~SymbolTable() = default;

bool SymbolTable::push(ItemList& list) {
  if (top() + 1 < capacity_) {
    scopes_.push_back(Scope{&list});
    return true;
  }
  ++refused_;
  if (!overflow_reported_) {
    overflow_reported_ = true;
    error(kTooDeep, int_text(static_cast<long long>(capacity_ - 1)));
  }
  return false;
}

// A list that is filled already, or that another scope holds too, is pushed
// filled: scopes sharing one list must all see what it holds.
bool SymbolTable::push_rows(Element& element, std::string_view prefix) {
  ItemList& list = element.prepare_scope(prefix);
  const RowNameTable* names = list.empty() && !holds(list) ? element.row_names(prefix) : nullptr;
  if (names == nullptr) return push(element.scope_variables(prefix));
  if (!push(list)) return false;
  scopes_.back().rows = &element;
  scopes_.back().names = names;
  scopes_.back().prefix = prefix;
  scopes_.back().unfilled_version = list.version();
  return true;
}

ItemList& SymbolTable::filled(const Scope& scope) {
  if (scope.unfilled()) scope.rows->scope_variables(scope.prefix);
  return *scope.list;
}

void SymbolTable::pop() {
  if (refused_ > 0)
    --refused_;
  else if (top() > 0)
    scopes_.pop_back();
}

Variable& SymbolTable::set(InternedName name, std::string_view value, bool global) {
  ItemList& scope = global ? global_scope() : current_scope();
  if (Variable* found = find_in(scope, name)) {
    found->assign_value(value);
    scope.note_change();
    return *found;
  }
  return scope.add_variable(name, value);
}

// Most scopes cannot hold the name, and ItemList::find tells so without
// reading the scope's entries. An unfilled scope is filled only when one of
// its rows has the name.
Variable* SymbolTable::find(InternedName name) const { return find_held(name, nullptr); }

Variable* SymbolTable::find_held(InternedName name, ItemList** holder) const {
  for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
    if (it->unfilled()) {
      const RowName& row = it->names->classify(name);
      if (!row.may_be_row() || it->rows->row_value(row) == nullptr) continue;
      filled(*it);
    }
    if (Variable* v = it->list->find(name)) {
      if (holder != nullptr) *holder = it->list;
      return v;
    }
  }
  return nullptr;
}

Variable* SymbolTable::find_to_change(InternedName name, bool global) {
  ItemList* holder = global ? &global_scope() : nullptr;
  Variable* found = global ? find_in(*holder, name) : find_held(name, &holder);
  if (found != nullptr) holder->note_change();
  return found;
}

const std::string* SymbolTable::find_value(InternedName name) const {
  const ItemList::SearchKey key(name);
  for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
    if (it->unfilled()) {
      const RowName& row = it->names->classify(name);
      if (!row.may_be_row()) continue;
      if (const std::string* value = it->rows->row_value(row)) return value;
    } else if (Variable* v = it->list->find(key)) {
      return &v->value();
    }
  }
  return nullptr;
}

bool SymbolTable::holds(const ItemList& list) const {
  for (const Scope& scope : scopes_)
    if (scope.list == &list) return true;
  return false;
}

Variable* SymbolTable::find_current(InternedName name) const {
  return find_in(current_scope(), name);
}

Variable* SymbolTable::find_global(InternedName name) const {
  return find_in(global_scope(), name);
}

void SymbolTable::remove(const Variable* variable) {
  for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
    if (holds_item(*it->list, variable)) {
      it->list->remove(variable);
      return;
    }
  }
}

std::unique_ptr<Item> SymbolTable::clone() const {
  auto copy = std::make_unique<SymbolTable>(capacity_);
  copy->global_->copy_from(*global_);
  copy->scopes_.assign(scopes_.begin() + 1, scopes_.end());
  copy->scopes_.insert(copy->scopes_.begin(), Scope{copy->global_.get()});
  copy->refused_ = refused_;
  copy->overflow_reported_ = overflow_reported_;
  return copy;
}

std::string SymbolTable::text() const {
  std::string dump;
  for (const Scope& scope : scopes_)
    for (const Item& item : filled(scope)) dump += item.text();
  return dump;
}

}  // namespace quill
