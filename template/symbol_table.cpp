#include "template/symbol_table.h"

#include "foundation/char_set.h"
#include "foundation/messages.h"

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
  scopes_.push_back(global_.get());
}

SymbolTable::~SymbolTable() = default;

bool SymbolTable::push(ItemList& list) {
  if (top() + 1 < capacity_) {
    scopes_.push_back(&list);
    return true;
  }
  ++refused_;
  if (!overflow_reported_) {
    overflow_reported_ = true;
    error(kTooDeep, int_text(static_cast<long long>(capacity_ - 1)));
  }
  return false;
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
// reading the scope's entries.
Variable* SymbolTable::find(InternedName name) const {
  for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it)
    if (Variable* v = (*it)->find(name)) return v;
  return nullptr;
}

bool SymbolTable::holds(const ItemList& list) const {
  for (const ItemList* scope : scopes_)
    if (scope == &list) return true;
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
    if (holds_item(**it, variable)) {
      (*it)->remove(variable);
      return;
    }
  }
}

std::unique_ptr<Item> SymbolTable::clone() const {
  auto copy = std::make_unique<SymbolTable>(capacity_);
  copy->global_->copy_from(*global_);
  copy->scopes_.assign(scopes_.begin() + 1, scopes_.end());
  copy->scopes_.insert(copy->scopes_.begin(), copy->global_.get());
  copy->refused_ = refused_;
  copy->overflow_reported_ = overflow_reported_;
  return copy;
}

std::string SymbolTable::text() const {
  std::string dump;
  for (const ItemList* scope : scopes_)
    for (const Item& item : *scope) dump += item.text();
  return dump;
}

}  // namespace quill
