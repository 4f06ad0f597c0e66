// The kinds of template lines and of the statement nodes built from them.
#pragma once

#include <array>
#include <string_view>

namespace quill {

// The values are fixed: they appear in messages and stored dumps.
enum StatementKind : int {
  stmt_unknown = 0,
  stmt_abstract = 1,
  stmt_file = 2,
  stmt_simple = 3,
  stmt_block = 4,
  stmt_multiblock = 5,
  stmt_default = 6,
  stmt_module = 7,
  stmt_import = 8,
  stmt_each_obj = 9,
  stmt_each_parent = 10,
  stmt_each_ancestor = 11,
  stmt_each_used_obj = 12,
  stmt_each_attr = 13,
  stmt_each_using_attr = 14,
  stmt_each_function = 15,
  stmt_each_param = 16,
  stmt_each_state = 17,
  stmt_each_transition = 18,
  stmt_each_event = 19,
  stmt_each_pragma_value = 20,
  stmt_each_var_item = 21,
  stmt_each_substitution = 22,
  stmt_each_obj_instance = 23,
  stmt_each_attr_assignment = 24,
  stmt_each_literal_text_block = 25,
  stmt_each_process = 26,
  stmt_each_flow = 27,
  stmt_each_token = 28,
  stmt_refd_obj = 29,
  stmt_each_ctic = 30,
  stmt_separator = 31,
  stmt_end = 32,
  stmt_eof = 33,
};

inline constexpr int kStatementKindCount = 34;

inline constexpr std::array<std::string_view, kStatementKindCount> kStatementKindNames = {
    "stmt_unknown",           "stmt_abstract",
    "stmt_file",              "stmt_simple",
    "stmt_block",             "stmt_multiblock",
    "stmt_default",           "stmt_module",
    "stmt_import",            "stmt_each_obj",
    "stmt_each_parent",       "stmt_each_ancestor",
    "stmt_each_used_obj",     "stmt_each_attr",
    "stmt_each_using_attr",   "stmt_each_function",
    "stmt_each_param",        "stmt_each_state",
    "stmt_each_transition",   "stmt_each_event",
    "stmt_each_pragma_value", "stmt_each_var_item",
    "stmt_each_substitution", "stmt_each_obj_instance",
    "stmt_each_attr_assignment", "stmt_each_literal_text_block",
    "stmt_each_process",      "stmt_each_flow",
    "stmt_each_token",        "stmt_refd_obj",
    "stmt_each_ctic",         "stmt_separator",
    "stmt_end",               "stmt_eof",
};
static_assert(kStatementKindNames.size() == stmt_eof + 1);

// The enumerator's name ("stmt_unknown" for a value out of range).
inline std::string_view statement_kind_name(int kind) {
  if (kind < 0 || kind >= kStatementKindCount) return kStatementKindNames[stmt_unknown];
  return kStatementKindNames[static_cast<size_t>(kind)];
}

// True for the kinds 9 to 28 and 30: the iterator statements.
inline bool is_iterator_kind(int kind) {
  return (kind >= stmt_each_obj && kind <= stmt_each_token) || kind == stmt_each_ctic;
}

}  // namespace quill
