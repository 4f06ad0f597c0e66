#include "model/element_variables_support.h"

#include <cstdint>
#include <iterator>
#include <unordered_map>

#include "model/elements.h"

namespace quill::element_variables {

namespace {
// Room made in a list about to be filled: most lists hold fewer rows.
constexpr size_t kTypicalRows = 16;
}  // namespace

FieldNames::FieldNames(std::initializer_list<std::string_view> fields)
    : fields_(fields.begin(), fields.end()) {}

// Builders of one kind ask under the same prefix over and over, so the last
// prefix is checked before the table.
const InternedName* FieldNames::operator()(std::string_view prefix) {
  if (last_ != nullptr && prefix == last_prefix_) return last_;
  auto it = by_prefix_.find(prefix);
  if (it == by_prefix_.end()) {
    std::vector<InternedName> names;
    names.reserve(fields_.size());
    for (const std::string& field : fields_) names.push_back(dotted(prefix, field));
    it = by_prefix_.emplace(std::string(prefix), std::move(names)).first;
  }
  last_prefix_.assign(prefix);
  last_ = it->second.data();
  return last_;
}

bool needs_build(ItemList& list, InternedName& remembered, std::string_view prefix) {
  bool keep_prefix = prefix == ".";
  const bool other_prefix = !keep_prefix && prefix != remembered.text();
  if (other_prefix) list.clear();
  if (!list.empty()) return false;
  if (other_prefix) remembered = InternedName(prefix);
  list.reserve(kTypicalRows);
  return true;
}

std::string_view effective_prefix(std::string_view remembered, std::string_view fallback) {
  return remembered.empty() || remembered == "." ? fallback : remembered;
}

namespace {

// The rest of a dotted name, given in two pieces so that it need not be
// joined to be looked up.
struct Rest {
  std::string_view b, c;
};

// FNV-1a: the rests are a few bytes long, and this hash needs no call.
struct RestHash {
  using is_transparent = void;
  static size_t add(size_t h, std::string_view text) {
    for (unsigned char ch : text) h = (h ^ ch) * 1099511628211ull;
    return h;
  }
  size_t operator()(std::string_view text) const noexcept { return add(14695981039346656037ull, text); }
  size_t operator()(const Rest& r) const noexcept { return add(add(14695981039346656037ull, r.b), r.c); }
};

struct RestEqual {
  using is_transparent = void;
  bool operator()(std::string_view x, std::string_view y) const { return x == y; }
  bool operator()(const Rest& r, std::string_view y) const {
    return y.size() == r.b.size() + r.c.size() && y.starts_with(r.b) && y.ends_with(r.c);
  }
  bool operator()(std::string_view y, const Rest& r) const { return (*this)(r, y); }
};

// The names made under one prefix: by the text of the rest, with two small
// direct-mapped memos in front, one by the text of the rest and one by the id
// of an interned rest (the characteristics' names, asked for every element).
struct PrefixTable {
  std::unordered_map<std::string, InternedName, RestHash, RestEqual> by_text;
  struct TextMemo {
    std::string rest;
    const void* name = nullptr;
  };
  struct IdMemo {
    const void* rest = nullptr;
    const void* name = nullptr;
  };
  TextMemo text_memo[64];
  IdMemo by_id[64];

  static size_t slot(const void* id) {
    return static_cast<size_t>((InternedName::hash_of(id) * 0x9E3779B97F4A7C15ull) >> 58);
  }
};

// The table of the prefix. The tables of the last few prefixes are checked
// first: a builder makes many names under one prefix, or alternates between
// two (a function's rows and its return type's).
PrefixTable& prefix_table(std::string_view a) {
  struct Recent {
    std::string prefix;
    PrefixTable* table = nullptr;
  };
  static std::map<std::string, PrefixTable, std::less<>> tables;
  static Recent recent[4];
  static size_t next = 0;
  for (const Recent& r : recent)
    if (r.table != nullptr && r.prefix == a) return *r.table;
  auto it = tables.find(a);
  if (it == tables.end()) it = tables.emplace(std::string(a), PrefixTable()).first;
  Recent& r = recent[next];
  next = (next + 1) % std::size(recent);
  r.prefix.assign(a);
  r.table = &it->second;
  return *r.table;
}

InternedName make_dotted(PrefixTable& table, std::string_view a, std::string_view b,
                         std::string_view c) {
  const Rest rest{b, c};
  PrefixTable::TextMemo& memo = table.text_memo[RestHash()(rest) & 63];
  if (memo.name != nullptr && RestEqual()(rest, memo.rest)) return InternedName::from_id(memo.name);
  InternedName name;
  auto found = table.by_text.find(rest);
  if (found != table.by_text.end()) {
    name = found->second;
  } else {
    std::string whole;
    whole.reserve(a.size() + 1 + b.size() + c.size());
    whole.append(a).append(".").append(b).append(c);
    name = InternedName(whole);
    table.by_text.emplace(whole.substr(a.size() + 1), name);
  }
  memo.rest.assign(b).append(c);
  memo.name = name.id();
  return name;
}

}  // namespace

// Names are made under a handful of prefixes, each for many elements: one
// table per prefix maps the rest of the name to the interned whole, so that
// a lookup hashes the short rest only.
InternedName dotted(std::string_view a, std::string_view b, std::string_view c) {
  return make_dotted(prefix_table(a), a, b, c);
}

namespace {

InternedName dotted_in(PrefixTable& table, std::string_view a, const InternedName& b) {
  PrefixTable::IdMemo& memo = table.by_id[PrefixTable::slot(b.id())];
  if (memo.rest == b.id()) return InternedName::from_id(memo.name);
  InternedName name = make_dotted(table, a, b.text(), {});
  memo = {b.id(), name.id()};
  return name;
}

}  // namespace

InternedName dotted(std::string_view a, const InternedName& b) {
  return dotted_in(prefix_table(a), a, b);
}

void add_characteristics(ItemList& list, const ItemList& characteristics, std::string_view qualifier) {
  if (characteristics.empty()) return;
  PrefixTable& table = prefix_table(qualifier);
  for (const Variable& c : characteristics.variables())
    list.add_variable(dotted_in(table, qualifier, c.name()), c.value());
}

void add_type_rows(ItemList& list, std::string_view prefix, const TypedElement& typed) {
  enum { kKind, kIsLocal, kIsForeign };
  static FieldNames fields{"kind", "is_local", "is_foreign"};
  const InternedName* n = fields(prefix);
  list.add_variable(n[kKind], typed.type());
  list.add_variable(dotted(prefix, "kind", typed.type()), "true");
  list.add_variable(n[kIsLocal], truth(typed.resolved));
  list.add_variable(n[kIsForeign], truth(!typed.resolved));
}

void add_mapping_row(ItemList& list, std::string_view prefix, const TypedElement& typed) {
  list.add_variable(dotted(prefix, typed.mapping()), "true");
}

}  // namespace quill::element_variables
