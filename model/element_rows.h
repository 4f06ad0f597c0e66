// Names looked up in an element's scope, classified against the rows the
// element's kind makes under one prefix. Lookups of an element scope that
// was never filled are answered from the element's fields (row_value); the
// classification is what makes that cheap: a template asks a few dozen names
// over and over, and each is split and compared once per kind and prefix,
// not once per lookup.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "foundation/interned_name.h"

namespace quill {

// One name as the rows of a kind under a prefix see it.
struct RowName {
  static constexpr int kNoField = -1;
  const void* id = nullptr;             // the name's id
  const std::string* rest = nullptr;    // interned rest after "prefix."; nullptr: another prefix
  int field = kNoField;                 // the fixed field the rest names
  const std::string* group_rest = nullptr;  // the same under the kind's group prefix, if any
  int group_field = kNoField;

  // True when some row under the prefix or the group may have this name.
  bool may_be_row() const { return rest != nullptr || group_rest != nullptr; }
};

// The classification of names for one kind of element under one prefix:
// the kind's fixed fields, and optionally a group of rows under a second
// prefix with fields of its own (a function's return type). Made once per
// kind and prefix and kept for the process.
class RowNameTable {
 public:
  RowNameTable(std::string_view prefix, std::span<const std::string_view> fields,
               std::string_view group_prefix = {},
               std::span<const std::string_view> group_fields = {});

  std::string_view prefix() const { return prefix_; }

  const RowName& classify(const InternedName& name) const {
    const std::uint64_t hash = name.hash() * 0x9E3779B97F4A7C15ull;
    RowName& slot = slots_[hash >> (64 - kSlotBits)];
    if (slot.id != name.id()) slot = make(name);
    return slot;
  }

 private:
  static constexpr int kSlotBits = 8;

  RowName make(const InternedName& name) const;

  std::string prefix_, group_prefix_;
  bool has_group_;
  std::span<const std::string_view> fields_, group_fields_;
  // A direct-mapped memo: a slot holds the last name classified there.
  mutable std::array<RowName, size_t{1} << kSlotBits> slots_{};
};

}  // namespace quill
