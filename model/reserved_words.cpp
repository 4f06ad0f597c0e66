#include "model/reserved_words.h"

#include <algorithm>
#include <iterator>

namespace quill {

namespace {

// Both tables are sorted for binary search.
constexpr std::string_view kCxxReserved[] = {
    "asm",      "auto",     "break",    "case",      "catch",  "class",    "const",
    "continue", "default",  "do",       "else",      "enum",   "extern",   "for",
    "friend",   "goto",     "if",       "inline",    "operator", "private", "protected",
    "public",   "register", "return",   "signed",    "sizeof", "static",   "struct",
    "switch",   "template", "this",     "throw",     "try",    "typedef",  "union",
    "virtual",  "volatile", "while",
};
static_assert(std::size(kCxxReserved) == 38);

constexpr std::string_view kAdaReserved[] = {
    "abort",    "abs",       "accept",   "access",    "all",       "and",      "array",
    "at",       "begin",     "body",     "case",      "constant",  "declare",  "delay",
    "delta",    "digits",    "do",       "else",      "elsif",     "end",      "entry",
    "exception", "exit",     "for",      "function",  "generic",   "goto",     "if",
    "in",       "is",        "limited",  "loop",      "mod",       "new",      "not",
    "null",     "of",        "or",       "others",    "out",       "package",  "pragma",
    "private",  "procedure", "raise",    "range",     "record",    "rem",      "renames",
    "return",   "reverse",   "select",   "separate",  "subtype",   "task",     "terminate",
    "then",     "type",      "use",      "when",      "while",     "with",     "xor",
};
static_assert(std::size(kAdaReserved) == 63);

template <size_t N>
constexpr bool fits_longest(const std::string_view (&table)[N]) {
  for (std::string_view word : table) {
    if (word.size() > kLongestReservedWord) return false;
  }
  return true;
}
static_assert(fits_longest(kCxxReserved) && fits_longest(kAdaReserved));

template <size_t N>
constexpr bool is_sorted_table(const std::string_view (&table)[N]) {
  for (size_t i = 1; i < N; ++i) {
    if (!(table[i - 1] < table[i])) return false;
  }
  return true;
}
static_assert(is_sorted_table(kCxxReserved));
static_assert(is_sorted_table(kAdaReserved));

}  // namespace

std::span<const std::string_view> cxx_reserved_words() { return kCxxReserved; }

std::span<const std::string_view> ada_reserved_words() { return kAdaReserved; }

bool is_cxx_reserved(std::string_view word) {
  return std::binary_search(std::begin(kCxxReserved), std::end(kCxxReserved), word);
}

bool is_ada_reserved(std::string_view word) {
  return std::binary_search(std::begin(kAdaReserved), std::end(kAdaReserved), word);
}

}  // namespace quill
