// Growable text containers for lists, array variables, keyed variables and uid lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Pattern;

class StringArray {
 public:
  size_t count() const { return items_.size(); }
  void add(std::string_view text) { items_.emplace_back(text); }
  // Index of the first equal entry, or -1.
  long find(std::string_view text) const;
  // Removes the entry and shifts the later ones; -1 or beyond the count is ignored.
  void remove(long index);
  // Appends empty entries until the index exists and returns that entry.
  std::string& item_or_extend(size_t index);
  // The entry, or an empty text at or beyond the count.
  const std::string& item(size_t index) const;
  void clear() { items_.clear(); }
  // Clears and adds every maximal run of characters not in separators.
  void split(std::string_view text, std::string_view separators);
  // Clears and adds every match of the pattern, left to right, not overlapping.
  void split(std::string_view text, const Pattern& pattern);

  const std::vector<std::string>& items() const { return items_; }
  std::vector<std::string>& items() { return items_; }

 private:
  std::vector<std::string> items_;
};

// A StringArray that never holds the same text twice.
class StringSet : public StringArray {
 public:
  void add(std::string_view text) { if (find(text) < 0) StringArray::add(text); }
  void remove_text(std::string_view text) { remove(find(text)); }
};

// Keys and values kept in parallel.
class StringMap {
 public:
  // Adds the key when absent and returns its value.
  std::string& value(std::string_view key);
  bool contains(std::string_view key) const { return keys_.find(key) >= 0; }
  void remove(std::string_view key);
  const StringSet& keys() const { return keys_; }
  const StringArray& values() const { return values_; }
  size_t count() const { return keys_.count(); }
  void clear() { keys_.clear(); values_.clear(); }

 private:
  StringSet keys_;
  StringArray values_;
};

}  // namespace quill
