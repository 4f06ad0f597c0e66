// The variable lists of the typed elements and of functions. Every builder
// follows the same steps (element_variables_support.h): reuse the list while
// the prefix stays the same, otherwise refill it in place under the
// effective prefix, appending the rows in their documented order.
#include "model/element_variables_support.h"
#include "model/elements.h"

namespace quill {

using namespace element_variables;

namespace {

constexpr std::string_view kParameterPrefix = "param";
constexpr std::string_view kAttributePrefix = "attr";
constexpr std::string_view kInstancePrefix = "inst";
constexpr std::string_view kFunctionPrefix = "ftn";
constexpr std::string_view kReturnTypeGroup = "rtype";

// The rows of a function's return type under the group prefix r.
void add_return_type(ItemList& list, std::string_view r, const ReturnType& rtype) {
  add_type_rows(list, r, rtype);
  add_mapping_row(list, r, rtype);
  add_characteristics(list, rtype.characteristics(), r);
}

}  // namespace

ItemList& Parameter::variables(std::string_view prefix) {
  enum { kName, kHasDefault, kDefault };
  static FieldNames fields{"name", "has_default_val", "default_val"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  // A parameter is named by the prefix asked for, not by the remembered one.
  std::string_view e = prefix.empty() || prefix == "." ? kParameterPrefix : prefix;
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  add_type_rows(vars, e, *this);
  vars.add_variable(n[kHasDefault], truth(!default_value().empty()));
  if (!default_value().empty()) vars.add_variable(n[kDefault], default_value());
  add_mapping_row(vars, e, *this);
  add_characteristics(vars, characteristics_, e);
  return vars;
}

ItemList& Attribute::variables(std::string_view prefix) {
  enum { kName, kHasInit, kInit };
  static FieldNames fields{"name", "has_init", "init_val"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kAttributePrefix);
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  add_characteristics(vars, characteristics_, e);
  add_type_rows(vars, e, *this);
  vars.add_variable(n[kHasInit], truth(!initial_value().empty()));
  if (!initial_value().empty()) vars.add_variable(n[kInit], initial_value());
  add_mapping_row(vars, e, *this);
  return vars;
}

ItemList& Instance::variables(std::string_view prefix) {
  enum { kName };
  static FieldNames fields{"name"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kInstancePrefix);
  vars.add_variable(fields(e)[kName], name);
  add_type_rows(vars, e, *this);
  add_characteristics(vars, characteristics_, e);
  return vars;
}

ItemList& Function::variables(std::string_view prefix) {
  enum { kName, kHasParams, kHasReturn, kHasBody, kBodyText, kReturnGroup };
  static FieldNames fields{"name", "has_params", "has_return", "has_body", "body_text", "rtype"};
  static const InternedName kPlainReturnGroup(kReturnTypeGroup);
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string_view e = effective_prefix(prefix_.text(), kFunctionPrefix);
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  vars.add_variable(n[kHasParams], truth(!parameters.empty()));
  vars.add_variable(n[kHasReturn], truth(return_type != nullptr));
  if (return_type) {
    const InternedName& group = e == kFunctionPrefix ? kPlainReturnGroup : n[kReturnGroup];
    add_return_type(vars, group.text(), *return_type);
  }
  vars.add_variable(n[kHasBody], truth(!body_text.empty()));
  vars.add_variable(n[kBodyText], body_text.empty() ? std::string_view(" ") : body_text);
  add_characteristics(vars, characteristics_, e);
  return vars;
}

}  // namespace quill
