// Reserved words of the two target languages, which a model may be told to
// refuse as names.
#pragma once

#include <cstddef>
#include <string_view>

namespace quill {

// Bits of reserved_in().
constexpr unsigned kCxxReservedWord = 1;
constexpr unsigned kAdaReservedWord = 2;
// No reserved word is longer, so longer words need no lookup.
constexpr size_t kLongestReservedWord = 9;

// The languages that reserve the word, as a mix of the bits above (0 for
// none). The comparison is exact, so the caller passes the word lower-cased.
unsigned reserved_in(std::string_view word);
// True when the word is a C++ reserved word; exact comparison as above.
bool is_cxx_reserved(std::string_view word);
// True when the word is an Ada 83 reserved word; exact comparison as above.
bool is_ada_reserved(std::string_view word);

}  // namespace quill
