// Growable text containers for lists, array variables, keyed variables and uid lists.
#pragma once

#include <cstdint>
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

// Texts in the order they were added, never the same text twice. A long
// set finds a text through an index of hashes (a template may collect a
// name for every attribute of a large model: searching the whole set for
// each would cost the square of its length).
class StringSet {
 public:
  size_t count() const { return list_.count(); }
  // Appends the text unless the set holds it; its index either way.
  size_t add(std::string_view text);
  // Index of the text, or -1.
  long find(std::string_view text) const;
  void remove_text(std::string_view text) { remove(find(text)); }
  // Removes the entry and shifts the later ones; -1 or beyond the count is ignored.
  void remove(long index);
  // The entry, or an empty text at or beyond the count.
  const std::string& item(size_t index) const { return list_.item(index); }
  void clear();
  const std::vector<std::string>& items() const { return list_.items(); }

 private:
  // Sets shorter than this are searched entry by entry.
  static constexpr size_t kIndexedCount = 16;
  // Makes the index for the present entries.
  void make_index() const;
  // Notes the entry at `index` in an index that has room for it.
  void place(size_t index) const;

  StringArray list_;
  // Open addressing, at most half full: entry index + 1, 0 for a free slot.
  // Made at the first search of a long set, kept by appends, dropped by
  // removals.
  mutable std::vector<std::uint32_t> slots_;
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
