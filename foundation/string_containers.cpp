#include "foundation/string_containers.h"

#include "foundation/char_set.h"
#include "foundation/pattern.h"

namespace quill {

long StringArray::find(std::string_view text) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == text) return static_cast<long>(i);
  }
  return -1;
}

void StringArray::remove(long index) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return;
  items_.erase(items_.begin() + index);
}

std::string& StringArray::item_or_extend(size_t index) {
  if (index >= items_.size()) items_.resize(index + 1);
  return items_[index];
}

const std::string& StringArray::item(size_t index) const {
  static const std::string kEmpty;
  return index < items_.size() ? items_[index] : kEmpty;
}

void StringArray::split(std::string_view text, std::string_view separators) {
  clear();
  CharSet set(separators);
  size_t pos = 0;
  while (pos < text.size()) {
    pos += span(set, text.substr(pos));
    size_t length = find_member(set, text.substr(pos));
    if (length > 0) add(text.substr(pos, length));
    pos += length;
  }
}

void StringArray::split(std::string_view text, const Pattern& pattern) {
  clear();
  for (std::string& piece : pattern.all_matches(text)) items_.push_back(std::move(piece));
}

std::string& StringMap::value(std::string_view key) {
  long index = keys_.find(key);
  if (index < 0) {
    keys_.add(key);
    index = static_cast<long>(keys_.count() - 1);
  }
  return values_.item_or_extend(static_cast<size_t>(index));
}

void StringMap::remove(std::string_view key) {
  long index = keys_.find(key);
  if (index < 0) return;
  keys_.remove(index);
  values_.remove(index);
}

}  // namespace quill
