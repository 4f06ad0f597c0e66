// Shared machinery of the element variable builders: the prefix rules, and
// interned variable names made once per prefix instead of once per build.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/interned_name.h"
#include "model/items.h"

namespace quill {

class TypedElement;

namespace element_variables {

// The names prefix + "." + field for a fixed row of fields, interned once per
// prefix and kept for the process.
class FieldNames {
 public:
  FieldNames(std::initializer_list<std::string_view> fields);
  // The names for the prefix, indexed like the fields given at construction.
  const InternedName* operator()(std::string_view prefix);

 private:
  std::vector<std::string> fields_;
  std::map<std::string, std::vector<InternedName>, std::less<>> by_prefix_;
  std::string last_prefix_;               // the prefix of the last call
  const InternedName* last_ = nullptr;    // its names
};

// The first steps of every `variables`: a prefix other than "." that differs
// from the remembered one clears the list; a list that is still filled is
// reused; a prefix other than "." is remembered. True when the list must be
// filled now.
bool needs_build(ItemList& list, InternedName& remembered, std::string_view prefix);

// The remembered prefix, or the fallback when none (or ".") is remembered.
std::string_view effective_prefix(std::string_view remembered, std::string_view fallback);

// The interned name a + "." + b + c.
InternedName dotted(std::string_view a, std::string_view b, std::string_view c = {});
// The same for an interned rest, remembered by its id.
InternedName dotted(std::string_view a, const InternedName& b);

// One Variable per characteristic, named qualifier + "." + its name.
void add_characteristics(ItemList& list, const ItemList& characteristics, std::string_view qualifier);

// kind, kind followed by the type, is_local and is_foreign of a typed element under prefix.
void add_type_rows(ItemList& list, std::string_view prefix, const TypedElement& typed);
// The mapping row: prefix + "." + mapping = "true".
void add_mapping_row(ItemList& list, std::string_view prefix, const TypedElement& typed);

inline std::string_view truth(bool value) { return value ? "true" : "false"; }

}  // namespace element_variables
}  // namespace quill
