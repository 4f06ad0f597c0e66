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

 private:
  const std::string* text_;
};

}  // namespace quill

template <>
struct std::hash<quill::InternedName> {
  size_t operator()(const quill::InternedName& n) const noexcept {
    return std::hash<const void*>()(n.id());
  }
};
