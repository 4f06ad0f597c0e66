// The process-wide dictionary of interned names. Its node-based set keeps
// every shared copy at a fixed address until exit, so an InternedName is a
// plain pointer to its copy.
#include "foundation/interned_name.h"

#include <unordered_set>

namespace quill {

namespace {
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>()(text); }
};

const std::string* intern(std::string_view text) {
  static std::unordered_set<std::string, TextHash, std::equal_to<>> dictionary;
  auto found = dictionary.find(text);
  if (found == dictionary.end()) found = dictionary.emplace(text).first;
  return &*found;
}
}  // namespace

InternedName::InternedName() : text_(intern("UNDEFINED")) {}

InternedName::InternedName(std::string_view text) : text_(intern(text)) {}

}  // namespace quill
