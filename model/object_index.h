// Names to values for the passes that look up a name for every element of a
// large model: NameMap, and ObjectIndex, the top-level objects by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace quill {

class Model;
class ModelObject;

// An open-addressed hash map from names to small values. The names are
// views: the caller keeps their text alive and unchanged while the map is in
// use, so adding a name allocates nothing but the occasional larger table.
template <class Value>
class NameMap {
 public:
  // Sized for about `expected` names without growing.
  explicit NameMap(size_t expected = 0) { rehash(capacity_for(expected)); }

  // Adds the name with the value unless the name is present. Returns the
  // value held for the name and whether it was added.
  std::pair<Value*, bool> try_emplace(std::string_view name, Value value) {
    if (2 * (size_ + 1) > slots_.size()) rehash(slots_.size() * 2);
    Slot& slot = slots_[index_of(name)];
    if (slot.used) return {&slot.value, false};
    slot = Slot{name, std::move(value), true};
    ++size_;
    return {&slot.value, true};
  }
  // The value held for the name, or nullptr.
  const Value* find(std::string_view name) const {
    const Slot& slot = slots_[index_of(name)];
    return slot.used ? &slot.value : nullptr;
  }
  Value* find(std::string_view name) {
    Slot& slot = slots_[index_of(name)];
    return slot.used ? &slot.value : nullptr;
  }
  size_t size() const { return size_; }

 private:
  struct Slot {
    std::string_view name;
    Value value{};
    bool used = false;
  };

  static size_t capacity_for(size_t expected) {
    size_t n = 16;
    while (n < 2 * expected) n *= 2;
    return n;
  }

  // FNV-1a: names are short, and inline hashing beats a library call.
  static std::uint64_t hash(std::string_view name) {
    std::uint64_t h = 14695981039346656037ull;
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h ^ (h >> 29);
  }

  // The slot that holds the name, else the free slot where it belongs.
  size_t index_of(std::string_view name) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash(name) & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (!slot.used || slot.name == name) return i;
    }
  }

  void rehash(size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    for (Slot& slot : old) {
      if (slot.used) slots_[index_of(slot.name)] = std::move(slot);
    }
  }

  std::vector<Slot> slots_;  // a power of two in size, at most half used
  size_t size_ = 0;
};

class ObjectIndex {
 public:
  // Indexes the model's top-level objects; the names must not change while
  // the index is in use.
  explicit ObjectIndex(const Model& model);
  // The first top-level object with exactly that name, as Model::find_object
  // gives it; nullptr when there is none.
  ModelObject* find(std::string_view name) const {
    ModelObject* const* found = by_name_.find(name);
    return found == nullptr ? nullptr : *found;
  }

 private:
  NameMap<ModelObject*> by_name_;
};

}  // namespace quill
