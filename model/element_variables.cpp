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
  if (!needs_build(variables_, prefix_, prefix)) return variables_;
  // A parameter is named by the prefix asked for, not by the remembered one.
  std::string_view e = prefix.empty() || prefix == "." ? kParameterPrefix : prefix;
  const InternedName* n = fields(e);
  variables_.add_variable(n[kName], name);
  add_type_rows(variables_, e, *this);
  variables_.add_variable(n[kHasDefault], truth(!default_value.empty()));
  if (!default_value.empty()) variables_.add_variable(n[kDefault], default_value);
  add_mapping_row(variables_, e, *this);
  add_characteristics(variables_, characteristics_, e);
  return variables_;
}

ItemList& Attribute::variables(std::string_view prefix) {
  enum { kName, kHasInit, kInit };
  static FieldNames fields{"name", "has_init", "init_val"};
  if (!needs_build(variables_, prefix_, prefix)) return variables_;
  std::string_view e = effective_prefix(prefix_.text(), kAttributePrefix);
  const InternedName* n = fields(e);
  variables_.add_variable(n[kName], name);
  add_characteristics(variables_, characteristics_, e);
  add_type_rows(variables_, e, *this);
  variables_.add_variable(n[kHasInit], truth(!initial_value.empty()));
  if (!initial_value.empty()) variables_.add_variable(n[kInit], initial_value);
  add_mapping_row(variables_, e, *this);
  return variables_;
}

ItemList& Instance::variables(std::string_view prefix) {
  enum { kName };
  static FieldNames fields{"name"};
  if (!needs_build(variables_, prefix_, prefix)) return variables_;
  std::string_view e = effective_prefix(prefix_.text(), kInstancePrefix);
  variables_.add_variable(fields(e)[kName], name);
  add_type_rows(variables_, e, *this);
  add_characteristics(variables_, characteristics_, e);
  return variables_;
}

ItemList& Function::variables(std::string_view prefix) {
  enum { kName, kHasParams, kHasReturn, kHasBody, kBodyText, kReturnGroup };
  static FieldNames fields{"name", "has_params", "has_return", "has_body", "body_text", "rtype"};
  static const InternedName kPlainReturnGroup(kReturnTypeGroup);
  if (!needs_build(variables_, prefix_, prefix)) return variables_;
  std::string_view e = effective_prefix(prefix_.text(), kFunctionPrefix);
  const InternedName* n = fields(e);
  variables_.add_variable(n[kName], name);
  variables_.add_variable(n[kHasParams], truth(!parameters.empty()));
  variables_.add_variable(n[kHasReturn], truth(return_type != nullptr));
  if (return_type) {
    const InternedName& group = e == kFunctionPrefix ? kPlainReturnGroup : n[kReturnGroup];
    add_return_type(variables_, group.text(), *return_type);
  }
  variables_.add_variable(n[kHasBody], truth(!body_text.empty()));
  variables_.add_variable(n[kBodyText], body_text.empty() ? std::string_view(" ") : body_text);
  add_characteristics(variables_, characteristics_, e);
  return variables_;
}

}  // namespace quill
