#include "model/element_variables_support.h"

#include <unordered_map>

#include "model/elements.h"

namespace quill::element_variables {

namespace {
// Room made in a list about to be filled: most lists hold fewer rows.
constexpr size_t kTypicalRows = 16;
}  // namespace

FieldNames::FieldNames(std::initializer_list<std::string_view> fields)
    : fields_(fields.begin(), fields.end()) {}

const InternedName* FieldNames::operator()(std::string_view prefix) {
  auto it = by_prefix_.find(prefix);
  if (it == by_prefix_.end()) {
    std::vector<InternedName> names;
    names.reserve(fields_.size());
    for (const std::string& field : fields_) names.push_back(dotted(prefix, field));
    it = by_prefix_.emplace(std::string(prefix), std::move(names)).first;
  }
  return it->second.data();
}

bool needs_build(ItemList& list, std::string& remembered, std::string_view prefix) {
  bool keep_prefix = prefix == ".";
  if (!keep_prefix && prefix != remembered) list.clear();
  if (!list.empty()) return false;
  if (!keep_prefix) remembered.assign(prefix);
  list.reserve(kTypicalRows);
  return true;
}

std::string_view effective_prefix(std::string_view remembered, std::string_view fallback) {
  return remembered.empty() || remembered == "." ? fallback : remembered;
}

// Names are made under a handful of prefixes, each for many elements: one
// table per prefix maps the rest of the name to the interned whole, so that
// a lookup hashes the short rest only.
InternedName dotted(std::string_view a, std::string_view b, std::string_view c) {
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const noexcept {
      return std::hash<std::string_view>()(text);
    }
  };
  using Table = std::unordered_map<std::string, InternedName, Hash, std::equal_to<>>;
  static std::map<std::string, Table, std::less<>> tables;
  static Table* table = nullptr;
  static std::string table_prefix, rest, whole;
  if (table == nullptr || a != table_prefix) {
    table = &tables[std::string(a)];
    table_prefix.assign(a);
  }
  std::string_view key = b;
  if (!c.empty()) key = rest.assign(b).append(c);
  auto found = table->find(key);
  if (found != table->end()) return found->second;
  whole.assign(a).append(".").append(b).append(c);
  InternedName name(whole);
  table->emplace(std::string(key), name);
  return name;
}

void add_characteristics(ItemList& list, const ItemList& characteristics, std::string_view qualifier) {
  for (const Variable& c : characteristics.variables())
    list.add_variable(dotted(qualifier, c.name().text()), c.value());
}

void add_type_rows(ItemList& list, std::string_view prefix, const TypedElement& typed) {
  enum { kKind, kIsLocal, kIsForeign };
  static FieldNames fields{"kind", "is_local", "is_foreign"};
  const InternedName* n = fields(prefix);
  list.add_variable(n[kKind], typed.type);
  list.add_variable(dotted(prefix, "kind", typed.type), "true");
  list.add_variable(n[kIsLocal], truth(typed.resolved));
  list.add_variable(n[kIsForeign], truth(!typed.resolved));
}

void add_mapping_row(ItemList& list, std::string_view prefix, const TypedElement& typed) {
  list.add_variable(dotted(prefix, typed.mapping), "true");
}

}  // namespace quill::element_variables
