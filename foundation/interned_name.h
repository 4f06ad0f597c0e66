// Names that exist once: two InternedNames are equal exactly when they refer
// to the same shared copy, so comparing them is a pointer comparison.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quill {

class InternedName {
 public:
  // The shared copy of a name, with a hash of its text.
  struct Entry {
    std::string text;
    std::uint64_t hash;
  };

  InternedName();  // reads "UNDEFINED"
  explicit InternedName(std::string_view text);
  InternedName(const char* text) : InternedName(std::string_view(text)) {}

  const std::string& text() const { return entry_->text; }
  bool operator==(const InternedName& other) const { return entry_ == other.entry_; }
  bool operator!=(const InternedName& other) const { return entry_ != other.entry_; }
  const void* id() const { return entry_; }
  // The name whose id() that is; the id must come from an InternedName.
  static InternedName from_id(const void* id) { return InternedName(static_cast<const Entry*>(id)); }
  // A hash of the name's text, for tables placed by name. Unlike the id's
  // address it is the same in every run, so such a table collides, and
  // costs, the same from one run to the next.
  std::uint64_t hash() const { return entry_->hash; }
  static std::uint64_t hash_of(const void* id) { return static_cast<const Entry*>(id)->hash; }

 private:
  explicit InternedName(const Entry* entry) : entry_(entry) {}

  const Entry* entry_;
};

}  // namespace quill

template <>
struct std::hash<quill::InternedName> {
  size_t operator()(const quill::InternedName& n) const noexcept {
    return static_cast<size_t>(n.hash());
  }
};
