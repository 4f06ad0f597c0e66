// The scoped variables of one generation run: a stack of ItemLists of
// Variables searched from the innermost scope outwards.
//
// Scope 0 (the global scope) is owned by the table; every other scope is a
// list owned by whoever pushed it (an element's own variable list, an
// iterator's position list) and is only referred to here.
//
// An element's scope may be pushed unfilled (push_rows): lookups of values
// are then answered from the element's fields, and the list is filled as
// soon as anything needs its Variables themselves (a Variable found by
// name, a value set in it, a dump).
//
// Nesting beyond the capacity: a push onto a full table is refused and
// reported (once per table), and the table counts the refused pushes; the
// pops that match them are absorbed by that count. Callers therefore always
// pair push and pop, and an over-deep nesting never pops an outer scope.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/interned_name.h"
#include "model/items.h"

namespace quill {

class Element;
class RowNameTable;

class SymbolTable : public Item {
 public:
  static constexpr size_t kRunCapacity = 64;  // the capacity a generation run uses

  // A table holding only an empty global scope; capacity counts scope 0.
  explicit SymbolTable(size_t capacity = kRunCapacity);
  ~SymbolTable() override;

  // Makes the list the innermost scope. Returns false (and reports once per
  // table) when the table is full; the matching pop is still to be made.
  bool push(ItemList& list);
  // Makes the element's variable list for the prefix the innermost scope,
  // without filling it when the element answers lookups itself. Like push.
  bool push_rows(Element& element, std::string_view prefix);
  // Forgets the innermost scope (a refused push first); scope 0 is never popped.
  void pop();

  // Sets name in scope 0 (global) or the innermost scope only: replaces the
  // value of that scope's Variable of that name or appends a new one there.
  Variable& set(InternedName name, std::string_view value, bool global = false);
  Variable& set(std::string_view name, std::string_view value, bool global = false) {
    return set(InternedName(name), value, global);
  }
  Variable& set(const char* name, std::string_view value, bool global = false) {
    return set(InternedName(name), value, global);
  }

  // The first Variable of that name, innermost scope first; nullptr when absent.
  Variable* find(InternedName name) const;
  // The value of that Variable, or nullptr: the same search, but an unfilled
  // element scope is answered without being filled.
  const std::string* find_value(InternedName name) const;
  // The same search restricted to the innermost scope / to scope 0.
  Variable* find_current(InternedName name) const;
  Variable* find_global(InternedName name) const;
  // find, or find_global, for a Variable whose value the caller is about to
  // write: the list holding it records the change, so that whoever keeps
  // a list's version (the model, before it adds rows to its list) sees it.
  Variable* find_to_change(InternedName name, bool global = false);

  // True when the list is one of the scopes.
  bool holds(const ItemList& list) const;
  // Removes and destroys that very Variable from the innermost scope holding
  // it; a Variable held by no scope is ignored.
  void remove(const Variable* variable);

  // Index of the innermost scope (0 when only the global scope exists).
  size_t top() const { return scopes_.size() - 1; }
  size_t capacity() const { return capacity_; }
  // Pushes refused because the table was full and not yet popped.
  size_t refused_pushes() const { return refused_; }
  ItemList& global_scope() const { return *scopes_.front().list; }
  // The innermost scope, filled.
  ItemList& current_scope() const { return filled(scopes_.back()); }

  std::unique_ptr<Item> clone() const override;
  int kind() const override { return kSymbolTableKind; }
  bool is_kind(int k) const override { return k == kSymbolTableKind || k == kItemKind; }
  // Every Variable of scopes 0 to top in order, each as its own text form.
  std::string text() const override;

 private:
  // One scope: a list, and for an element scope pushed unfilled the element
  // that answers for it while the list is as it was pushed (its version
  // tells: whoever fills, clears or changes the list changes the version).
  struct Scope {
    explicit Scope(ItemList* l) : list(l) {}
    ItemList* list;
    Element* rows = nullptr;
    const RowNameTable* names = nullptr;  // the element's row names under the prefix
    std::string_view prefix;
    std::uint64_t unfilled_version = 0;
    bool unfilled() const { return rows != nullptr && list->version() == unfilled_version; }
  };
  // The scope's list, filled first when it is still unfilled.
  static ItemList& filled(const Scope& scope);
  // find, also giving the list that holds the Variable when holder is set.
  Variable* find_held(InternedName name, ItemList** holder) const;

  size_t capacity_;
  std::unique_ptr<ItemList> global_;
  std::vector<Scope> scopes_;  // scopes_[0] is global_
  size_t refused_ = 0;
  bool overflow_reported_ = false;
};

}  // namespace quill
