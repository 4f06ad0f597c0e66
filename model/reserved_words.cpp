#include "model/reserved_words.h"

#include <iterator>
#include <unordered_map>

namespace quill {

namespace {

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

using WordBits = std::unordered_map<std::string_view, unsigned>;

// Every reserved word with the languages that reserve it. The lexer asks for
// nearly every name of a model, so one hash lookup replaces two searches.
const WordBits& reserved_words() {
  static const WordBits words = [] {
    WordBits all;
    for (std::string_view word : kCxxReserved) all[word] |= kCxxReservedWord;
    for (std::string_view word : kAdaReserved) all[word] |= kAdaReservedWord;
    return all;
  }();
  return words;
}

}  // namespace

unsigned reserved_in(std::string_view word) {
  if (word.size() > kLongestReservedWord) return 0;
  const WordBits& words = reserved_words();
  auto found = words.find(word);
  return found == words.end() ? 0 : found->second;
}

bool is_cxx_reserved(std::string_view word) { return (reserved_in(word) & kCxxReservedWord) != 0; }

bool is_ada_reserved(std::string_view word) { return (reserved_in(word) & kAdaReservedWord) != 0; }

}  // namespace quill
