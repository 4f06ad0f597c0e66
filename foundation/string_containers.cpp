#include "foundation/string_containers.h"

#include <functional>

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

namespace {
size_t text_hash(std::string_view text) { return std::hash<std::string_view>()(text); }
}  // namespace

size_t StringSet::add(std::string_view text) {
  if (const long found = find(text); found >= 0) return static_cast<size_t>(found);
  list_.add(text);
  if (!slots_.empty()) {
    if (2 * count() > slots_.size())
      make_index();
    else
      place(count() - 1);
  }
  return count() - 1;
}

long StringSet::find(std::string_view text) const {
  if (count() < kIndexedCount) return list_.find(text);
  if (slots_.empty()) make_index();
  const size_t mask = slots_.size() - 1;
  for (size_t i = text_hash(text) & mask;; i = (i + 1) & mask) {
    if (slots_[i] == 0) return -1;
    if (list_.items()[slots_[i] - 1] == text) return static_cast<long>(slots_[i] - 1);
  }
}

void StringSet::remove(long index) {
  if (index < 0 || static_cast<size_t>(index) >= count()) return;
  list_.remove(index);
  slots_.clear();
}

void StringSet::clear() {
  list_.clear();
  slots_.clear();
}

void StringSet::make_index() const {
  size_t size = 32;
  while (size < 2 * count() + 2) size *= 2;
  slots_.assign(size, 0);
  for (size_t i = 0; i < count(); ++i) place(i);
}

void StringSet::place(size_t index) const {
  const size_t mask = slots_.size() - 1;
  size_t i = text_hash(list_.items()[index]) & mask;
  while (slots_[i] != 0) i = (i + 1) & mask;
  slots_[i] = static_cast<std::uint32_t>(index + 1);
}

std::string& StringMap::value(std::string_view key) { return values_.item_or_extend(keys_.add(key)); }

void StringMap::remove(std::string_view key) {
  long index = keys_.find(key);
  if (index < 0) return;
  keys_.remove(index);
  values_.remove(index);
}

}  // namespace quill
