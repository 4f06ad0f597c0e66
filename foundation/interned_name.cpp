// The process-wide dictionary of interned names. Its node-based set keeps
// every shared copy at a fixed address until exit, so an InternedName is a
// plain pointer to its copy.
#include "foundation/interned_name.h"

#include <unordered_set>

namespace quill {

namespace {
struct EntryHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>()(text); }
  size_t operator()(const InternedName::Entry& entry) const noexcept { return entry.hash; }
};
struct EntryEqual {
  using is_transparent = void;
  static std::string_view text(std::string_view text) { return text; }
  static std::string_view text(const InternedName::Entry& entry) { return entry.text; }
  template <class A, class B>
  bool operator()(const A& a, const B& b) const noexcept { return text(a) == text(b); }
};

const InternedName::Entry* lookup(std::string_view text) {
  static std::unordered_set<InternedName::Entry, EntryHash, EntryEqual> dictionary;
  auto found = dictionary.find(text);
  if (found == dictionary.end())
    found = dictionary.insert(InternedName::Entry{std::string(text), EntryHash()(text)}).first;
  return &*found;
}

// The same few names are interned from text over and over (every attribute
// of a model gets "obj", every element list its prefix): a small table of
// recent ones, placed by length and first and last byte, answers them with
// one comparison instead of hashing the text and probing the dictionary.
// Copies in the dictionary never move, so a remembered one stays valid.
const InternedName::Entry* intern(std::string_view text) {
  constexpr size_t kSlots = 64;
  static const InternedName::Entry* recent[kSlots] = {};
  const size_t first = text.empty() ? 0 : static_cast<unsigned char>(text.front());
  const size_t last = text.empty() ? 0 : static_cast<unsigned char>(text.back());
  const InternedName::Entry*& slot = recent[(text.size() * 31 + first * 7 + last) & (kSlots - 1)];
  if (slot == nullptr || slot->text != text) slot = lookup(text);
  return slot;
}
}  // namespace

InternedName::InternedName() : entry_(intern("UNDEFINED")) {}

InternedName::InternedName(std::string_view text) : entry_(intern(text)) {}

}  // namespace quill
