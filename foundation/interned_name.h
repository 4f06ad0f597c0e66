// Names that exist once: two InternedNames are equal exactly when they refer
// to the same shared copy, so comparing them is a pointer comparison.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quill {

class InternedName {
 public:
  InternedName();  // reads "UNDEFINED"
  explicit InternedName(std::string_view text);
  InternedName(const char* text) : InternedName(std::string_view(text)) {}

  const std::string& text() const { return *text_; }
  bool operator==(const InternedName& other) const { return text_ == other.text_; }
  bool operator!=(const InternedName& other) const { return text_ != other.text_; }
  const void* id() const { return text_; }
  // The name whose id() that is; the id must come from an InternedName.
  static InternedName from_id(const void* id) {
    return InternedName(static_cast<const std::string*>(id));
  }

 private:
  explicit InternedName(const std::string* text) : text_(text) {}

  const std::string* text_;
};

}  // namespace quill

template <>
struct std::hash<quill::InternedName> {
  size_t operator()(const quill::InternedName& n) const noexcept {
    return std::hash<const void*>()(n.id());
  }
};
