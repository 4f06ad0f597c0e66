// Reserved words of the two target languages, which a model may be told to
// refuse as names.
#pragma once

#include <string_view>

namespace quill {

// True when the word is a C++ reserved word; the comparison is exact, so the
// caller passes the word lower-cased.
bool is_cxx_reserved(std::string_view word);
// True when the word is an Ada 83 reserved word; exact comparison as above.
bool is_ada_reserved(std::string_view word);

}  // namespace quill
