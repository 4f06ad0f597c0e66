// Lookups answered from an element's fields instead of its variable list.
//
// Each function walks the rows in the order the element's builder appends
// them (element_variables.cpp) and answers for the first row whose name is
// the one asked for, so that a name made twice (a characteristic called
// "name", a type whose kind row repeats another) resolves as the list would
// resolve it. A name is tested against a row by its text: the prefix, a dot
// and the rest.
#include "model/element_rows.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "model/element_variables_support.h"
#include "model/elements.h"

namespace quill {

using namespace element_variables;

namespace {

const std::string kTrueValue = "true";
const std::string kFalseValue = "false";
const std::string kBlankValue = " ";

const std::string* truth_value(bool value) { return value ? &kTrueValue : &kFalseValue; }

// The tables of one kind, one per effective prefix. The last one is checked
// first: the elements of a walk are asked under the same prefix in turn.
class RowTables {
 public:
  RowTables(std::span<const std::string_view> fields, std::span<const std::string_view> group_fields = {})
      : fields_(fields), group_fields_(group_fields) {}

  // The table for the prefix; group_of gives the group prefix of a prefix
  // (none when it is null).
  const RowNameTable& get(std::string_view prefix, std::string (*group_of)(std::string_view) = nullptr) {
    if (last_ != nullptr && last_->prefix() == prefix) return *last_;
    auto it = tables_.find(prefix);
    if (it == tables_.end()) {
      const std::string group = group_of ? group_of(prefix) : std::string();
      auto made = std::make_unique<RowNameTable>(prefix, fields_, group, group_fields_);
      it = tables_.emplace(std::string(prefix), std::move(made)).first;
    }
    last_ = it->second.get();
    return *last_;
  }

 private:
  std::span<const std::string_view> fields_, group_fields_;
  std::map<std::string, std::unique_ptr<RowNameTable>, std::less<>> tables_;
  const RowNameTable* last_ = nullptr;
};

const std::string* characteristic_row(const ItemList& characteristics, const std::string& rest) {
  const Variable* c = characteristics.find(InternedName::from_id(&rest));
  return c == nullptr ? nullptr : &c->value();
}

// True when rest is "kind" followed by the type: the row that names the type.
bool names_kind_of(const std::string& rest, const TypedElement& typed) {
  return rest.size() == 4 + typed.type().size() && rest.starts_with("kind") &&
         rest.ends_with(typed.type());
}

// The rows of add_type_rows for a field among kind, is_local, is_foreign,
// and the row kind<type> in its place after kind.
enum TypeField { kKindField, kIsLocalField, kIsForeignField, kTypeFields };

const std::string* type_row(const TypedElement& typed, const std::string& rest, int field,
                            int first) {
  if (field == first + kKindField) return &typed.type();
  if (names_kind_of(rest, typed)) return &kTrueValue;
  if (field == first + kIsLocalField) return truth_value(typed.resolved);
  if (field == first + kIsForeignField) return truth_value(!typed.resolved);
  return nullptr;
}

// The row of add_mapping_row.
const std::string* mapping_row(const TypedElement& typed, const std::string& rest) {
  return rest == typed.mapping() ? &kTrueValue : nullptr;
}

}  // namespace

RowNameTable::RowNameTable(std::string_view prefix, std::span<const std::string_view> fields,
                           std::string_view group_prefix,
                           std::span<const std::string_view> group_fields)
    : prefix_(prefix),
      group_prefix_(group_prefix),
      has_group_(!group_prefix.empty()),
      fields_(fields),
      group_fields_(group_fields) {}

namespace {

// The rest of text after "prefix." as an interned name, and the index of the
// field it names; {nullptr, kNoField} when text has another form.
std::pair<const std::string*, int> split_row_name(std::string_view text, std::string_view prefix,
                                                  std::span<const std::string_view> fields) {
  if (text.size() <= prefix.size() || text[prefix.size()] != '.' || !text.starts_with(prefix))
    return {nullptr, RowName::kNoField};
  const std::string_view rest = text.substr(prefix.size() + 1);
  int field = RowName::kNoField;
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i] == rest) field = static_cast<int>(i);
  return {&InternedName(rest).text(), field};
}

}  // namespace

RowName RowNameTable::make(const InternedName& name) const {
  RowName made;
  made.id = name.id();
  std::tie(made.rest, made.field) = split_row_name(name.text(), prefix_, fields_);
  if (has_group_)
    std::tie(made.group_rest, made.group_field) = split_row_name(name.text(), group_prefix_, group_fields_);
  return made;
}

// ---- Attribute: name, characteristics, type rows, has_init, init_val, mapping ----

namespace {
enum { kAttrName, kAttrHasInit, kAttrInit, kAttrType };
constexpr std::string_view kAttributeFields[] = {"name", "has_init", "init_val",
                                                 "kind", "is_local", "is_foreign"};
}  // namespace

const RowNameTable* Attribute::row_names(std::string_view) const {
  static RowTables tables(kAttributeFields);
  return &tables.get(effective_prefix(prefix_.text(), "attr"));
}

const std::string* Attribute::row_value(const RowName& n) const {
  if (n.rest == nullptr) return nullptr;
  if (n.field == kAttrName) return &name;
  if (const std::string* c = characteristic_row(characteristics_, *n.rest)) return c;
  if (const std::string* t = type_row(*this, *n.rest, n.field, kAttrType)) return t;
  if (n.field == kAttrHasInit) return truth_value(!initial_value().empty());
  if (n.field == kAttrInit && !initial_value().empty()) return &initial_value();
  return mapping_row(*this, *n.rest);
}

// ---- Parameter: name, type rows, has_default_val, default_val, mapping,
// characteristics; named by the prefix asked for, not the remembered one ----

namespace {
enum { kParamName, kParamHasDefault, kParamDefault, kParamType };
constexpr std::string_view kParameterFields[] = {"name", "has_default_val", "default_val",
                                                 "kind", "is_local", "is_foreign"};
}  // namespace

const RowNameTable* Parameter::row_names(std::string_view prefix) const {
  static RowTables tables(kParameterFields);
  return &tables.get(prefix.empty() || prefix == "." ? std::string_view("param") : prefix);
}

const std::string* Parameter::row_value(const RowName& n) const {
  if (n.rest == nullptr) return nullptr;
  if (n.field == kParamName) return &name;
  if (const std::string* t = type_row(*this, *n.rest, n.field, kParamType)) return t;
  if (n.field == kParamHasDefault) return truth_value(!default_value().empty());
  if (n.field == kParamDefault && !default_value().empty()) return &default_value();
  if (const std::string* m = mapping_row(*this, *n.rest)) return m;
  return characteristic_row(characteristics_, *n.rest);
}

// ---- Function: name, has_params, has_return, the return type's rows (type
// rows, mapping, characteristics) under the group "rtype" for the plain prefix
// and "<prefix>.rtype" otherwise, has_body, body_text, characteristics ----

namespace {
enum { kFtnName, kFtnHasParams, kFtnHasReturn, kFtnHasBody, kFtnBodyText };
constexpr std::string_view kFunctionFields[] = {"name", "has_params", "has_return", "has_body",
                                                "body_text"};
constexpr std::string_view kReturnTypeFields[] = {"kind", "is_local", "is_foreign"};

std::string return_group(std::string_view e) {
  return e == "ftn" ? std::string("rtype") : std::string(e).append(".rtype");
}

}  // namespace

const RowNameTable* Function::row_names(std::string_view) const {
  static RowTables tables(kFunctionFields, kReturnTypeFields);
  return &tables.get(effective_prefix(prefix_.text(), "ftn"), return_group);
}

const std::string* Function::row_value(const RowName& n) const {
  if (n.field == kFtnName) return &name;
  if (n.field == kFtnHasParams) return truth_value(!parameters.empty());
  if (n.field == kFtnHasReturn) return truth_value(return_type != nullptr);
  if (return_type && n.group_rest != nullptr) {
    const std::string& rest = *n.group_rest;
    if (const std::string* t = type_row(*return_type, rest, n.group_field, 0)) return t;
    if (const std::string* m = mapping_row(*return_type, rest)) return m;
    if (const std::string* c = characteristic_row(return_type->characteristics(), rest)) return c;
  }
  if (n.rest == nullptr) return nullptr;
  if (n.field == kFtnHasBody) return truth_value(!body_text.empty());
  if (n.field == kFtnBodyText) return body_text.empty() ? &kBlankValue : &body_text;
  return characteristic_row(characteristics_, *n.rest);
}

}  // namespace quill
