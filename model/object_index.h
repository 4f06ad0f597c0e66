// Names to values for the passes that look up a name for every element of a
// large model: NameMap, and ObjectIndex, the top-level objects by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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

  static std::uint64_t load32(const char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
  }

  // The last 1 to 7 bytes of the name, starting at p, as one word: the last
  // eight bytes of a long name, two overlapping halves of a short one, or
  // the first, middle and last bytes of a tiny one. Overlaps do no harm, as
  // the length is hashed as well.
  static std::uint64_t tail_word(std::string_view name, const char* p, size_t left) {
    if (name.size() >= 8) {
      std::uint64_t word;
      std::memcpy(&word, name.data() + name.size() - 8, 8);
      return word;
    }
    if (left >= 4) return load32(p) << 32 | load32(p + left - 4);
    return std::uint64_t{static_cast<unsigned char>(p[0])} << 16 |
           std::uint64_t{static_cast<unsigned char>(p[left / 2])} << 8 |
           static_cast<unsigned char>(p[left - 1]);
  }

  // Names are short, and inline hashing beats a library call. The name is
  // taken eight bytes at a time (the tail zero-filled, the length mixed in),
  // as a byte-wise loop costs a multiply per character on every lookup.
  static std::uint64_t hash(std::string_view name) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = name.size() * kMul;
    const char* p = name.data();
    size_t left = name.size();
    for (; left >= 8; p += 8, left -= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      h = (h ^ word) * kMul;
      h ^= h >> 32;
    }
    if (left > 0) {
      h = (h ^ tail_word(name, p, left)) * kMul;
    }
    // A full final mix: the table uses the low bits, and the multiplies
    // above leave the last bytes of a name only in the high ones.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
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
    if (!may_hold(name)) return nullptr;
    ModelObject* const* found = by_name_.find(name);
    return found == nullptr ? nullptr : *found;
  }

 private:
  // Most names looked up are types such as "int" that name no object. A bit
  // chosen by a name's length and first and last bytes is set for every
  // object name, so that such a name is usually turned away before it is
  // hashed. Object names of one model tend to share their shape, which
  // keeps the set bits few.
  static constexpr size_t kFilterBits = 4096;
  static size_t filter_bit(std::string_view name) {
    std::uint32_t key = static_cast<std::uint32_t>(name.size()) << 16;
    if (!name.empty()) {
      key |= static_cast<std::uint32_t>(static_cast<unsigned char>(name.front())) << 8 |
             static_cast<unsigned char>(name.back());
    }
    return (key * 0x9E3779B1u) >> 20;  // 12 bits
  }
  bool may_hold(std::string_view name) const {
    const size_t bit = filter_bit(name);
    return (filter_[bit / 64] >> (bit % 64) & 1) != 0;
  }

  NameMap<ModelObject*> by_name_;
  std::uint64_t filter_[kFilterBits / 64] = {};
};

}  // namespace quill
