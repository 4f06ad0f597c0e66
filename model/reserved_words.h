// Reserved words of the two target languages, which a model may be told to
// refuse as names.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace quill {

// No reserved word is longer, so longer words need no lookup.
constexpr size_t kLongestReservedWord = 9;

// The reserved words of each language, lower-case, for callers that build
// lookup tables of their own.
std::span<const std::string_view> cxx_reserved_words();
std::span<const std::string_view> ada_reserved_words();
// True when the word is a C++ reserved word; exact comparison as above.
bool is_cxx_reserved(std::string_view word);
// True when the word is an Ada 83 reserved word; exact comparison as above.
bool is_ada_reserved(std::string_view word);

}  // namespace quill
