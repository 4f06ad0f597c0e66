// The value family of every name/value list: characteristics, cached element
// variables, pragma values, instance assignments, usage tags and the scopes of
// a symbol table are ItemLists of Items, mostly of Variables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/interned_name.h"

namespace quill {

// Kind numbers of the Item family; a class answers is_kind for its own kind
// and for the kinds of every class above it.
constexpr int kItemKind = 0;
constexpr int kTextItemKind = 1;
constexpr int kVariableKind = 2;
constexpr int kSymbolTableKind = 3;  // the symbol table of a generation run

// The text an Item made without a value holds.
inline constexpr std::string_view kUnassigned = "-unassigned-";

class Item {
 public:
  Item() = default;
  virtual ~Item() = default;
  Item(const Item&) = default;
  Item& operator=(const Item&) = default;

  // The kind is answered by the class rather than stored: a model holds
  // Variables by the hundred thousand, and a stored kind would cost each of
  // them a padded word.
  virtual int kind() const { return kItemKind; }
  // A new copy of the same class.
  virtual std::unique_ptr<Item> clone() const;
  // True when k is this item's kind or the kind of a class above it.
  virtual bool is_kind(int k) const { return k == kItemKind; }
  // The printable form ("" for a plain Item).
  virtual std::string text() const { return {}; }
};

class TextItem : public Item {
 public:
  TextItem() : TextItem(kUnassigned) {}
  explicit TextItem(std::string_view value) : value_(value) {}

  const std::string& value() const { return value_; }
  // Replaces the value. Such writes are counted (value_writes()): a cached
  // variable list that may have been written through a found Variable must
  // not be dropped and filled afresh.
  void set_value(std::string_view value) {
    value_.assign(value);
    ++value_writes_;
  }
  // Replaces the value without counting: for owners that record the change
  // in the list that holds the item (ItemList::note_change).
  void assign_value(std::string_view value) { value_.assign(value); }
  // The number of counted value writes so far in the process.
  static std::uint64_t value_writes() { return value_writes_; }

  int kind() const override { return kTextItemKind; }
  std::unique_ptr<Item> clone() const override;
  bool is_kind(int k) const override { return k == kTextItemKind || k == kItemKind; }
  // The value followed by CR LF.
  std::string text() const override;

 protected:

 private:
  friend class VariablePool;
  std::string value_;
  static inline std::uint64_t value_writes_ = 0;
};

// A Variable is never derived from: ItemList recycles Variables by kind.
class Variable final : public TextItem {
 public:
  Variable() : Variable(kUnassigned, kUnassigned) {}
  Variable(std::string_view name, std::string_view value)
      : TextItem(value), name_(name) {}
  Variable(InternedName name, std::string_view value) : TextItem(value), name_(name) {}
  // A literal name would otherwise match both forms above.
  Variable(const char* name, std::string_view value)
      : Variable(std::string_view(name), value) {}

  const InternedName& name() const { return name_; }

  int kind() const override { return kVariableKind; }
  std::unique_ptr<Item> clone() const override;
  bool is_kind(int k) const override { return k == kVariableKind || TextItem::is_kind(k); }
  // name, " = ", value, two blanks, CR LF.
  std::string text() const override;

 private:
  friend class VariablePool;
  InternedName name_;
};

// One place of an ItemList: the item and, for a Variable, its name's id
// (nullptr for any other item), so that a search by name reads the places
// only and never the items.
struct ItemEntry {
  Item* item;
  const void* name;
};

// Walks the items of a list as T (the caller knows what the list holds).
template <class T>
class ItemIterator {
 public:
  using Base = const ItemEntry*;
  using iterator_category = std::forward_iterator_tag;
  using value_type = std::remove_const_t<T>;
  using difference_type = std::ptrdiff_t;
  using pointer = T*;
  using reference = T&;

  ItemIterator() = default;
  explicit ItemIterator(Base it) : it_(it) {}
  T& operator*() const { return static_cast<T&>(*it_->item); }
  T* operator->() const { return static_cast<T*>(it_->item); }
  ItemIterator& operator++() { ++it_; return *this; }
  ItemIterator operator++(int) { ItemIterator old = *this; ++it_; return old; }
  bool operator==(const ItemIterator& other) const { return it_ == other.it_; }

 private:
  Base it_;
};

template <class T>
class ItemRange {
 public:
  ItemRange(ItemIterator<T> b, ItemIterator<T> e) : begin_(b), end_(e) {}
  ItemIterator<T> begin() const { return begin_; }
  ItemIterator<T> end() const { return end_; }

 private:
  ItemIterator<T> begin_, end_;
};

// An owning list of Items in the order they were appended.
//
// Lists are filled and emptied by the hundred thousand during a generation
// run, and a model holds one per element, so they avoid the allocator: the
// Variables a list destroys go to a process-wide stock that later
// add_variable calls take them from (their value strings keep their room),
// and place arrays come from a RoomStock. An item keeps its address until it
// is removed or the list is cleared. The stocks are not
// guarded: lists belong to one thread, like interned names.
class ItemList {
 public:
  ItemList() = default;
  ~ItemList();
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  ItemList(ItemList&& other) noexcept;
  ItemList& operator=(ItemList&& other) noexcept;

  size_t count() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Changes whenever items are added or removed and when set() replaces a value.
  std::uint64_t version() const { return version_; }
  // Records a change made to one of the items directly.
  void note_change() { ++version_; }
  // True when the list has only had items appended since its version and
  // count were these: every other change (a removal, a value set, a noted
  // change, a clear) adds to the version without adding an item.
  bool only_appended_since(std::uint64_t version, size_t count) const {
    return count_ >= count && version_ - version == count_ - count;
  }
  // Makes room for n items in all.
  void reserve(size_t n);

  // Appends the item itself at the end and returns it.
  Item& append(std::unique_ptr<Item> item);
  template <class T>
  T& append(std::unique_ptr<T> item) {
    T& added = *item;
    append(std::unique_ptr<Item>(std::move(item)));
    return added;
  }
  // Appends a clone of the item at the end and returns the clone.
  Item& append_clone(const Item& item);
  // Appends a new Variable (name, value) at the end.
  Variable& add_variable(std::string_view name, std::string_view value);
  Variable& add_variable(InternedName name, std::string_view value);
  Variable& add_variable(const char* name, std::string_view value) {
    return add_variable(std::string_view(name), value);
  }
  // Appends a new TextItem at the end.
  TextItem& add_text(std::string_view value);
  // Appends a copy of every item of source, in order: the same as
  // append_clone for each, with the room made once.
  void append_copies(const ItemList& source);
  // Moves the last n items to the position; the items that stood from there
  // on follow them, in their order. Costs the items moved and passed over.
  void move_last_to(size_t n, size_t position);

  // Removes and destroys that very item; an item not in the list is ignored.
  void remove(const Item* item);
  // Destroys every item (the list keeps its room for the next items).
  void clear();
  // Destroys every item and gives the list's room back.
  void release();
  // Clears and appends clones of every item of source.
  void copy_from(const ItemList& source);

  // The first Variable with that name (interned or by text), or nullptr.
  Variable* find(const InternedName& name) const {
    return may_hold(name) ? find_id(name.id()) : nullptr;
  }
  Variable* find(std::string_view name) const;
  Variable* find(const char* name) const { return find(std::string_view(name)); }
  // False when no Variable of that name is in the list; true when one may
  // be. A cheap test that lets a search skip whole lists.
  bool may_hold(const InternedName& name) const { return may_hold(name_bits(name.id())); }

  // A name prepared for searching many lists in turn (a scope search): its
  // filter bits are worked out once.
  class SearchKey {
   public:
    explicit SearchKey(const InternedName& name) : id_(name.id()), bits_(name_bits(id_)) {}

   private:
    friend class ItemList;
    const void* id_;
    std::pair<std::uint64_t, std::uint64_t> bits_;
  };
  Variable* find(const SearchKey& key) const {
    return may_hold(key.bits_) ? find_id(key.id_) : nullptr;
  }
  // Replaces the value of the Variable with that name, or appends a new one.
  Variable& set(std::string_view name, std::string_view value);

  Item& at(size_t index) const { return *entries_[index].item; }

  ItemIterator<Item> begin() const { return ItemIterator<Item>(entries_); }
  ItemIterator<Item> end() const { return ItemIterator<Item>(entries_ + count_); }
  // The items seen as T: every item must be a T.
  template <class T>
  ItemRange<T> as() const {
    return {ItemIterator<T>(entries_), ItemIterator<T>(entries_ + count_)};
  }
  ItemRange<Variable> variables() const { return as<Variable>(); }
  ItemRange<TextItem> texts() const { return as<TextItem>(); }

  // Concatenation of the text of every item.
  std::string text() const;

 private:
  // The names of the list's Variables are summed up in two 64-bit masks (a
  // small Bloom filter): every name sets one bit in each, chosen by the
  // hash of its text (InternedName::hash), so that which names share bits,
  // and what a search costs, is the same in every run. Removing an item
  // leaves the bits; emptying the list clears them.
  using NameBits = std::pair<std::uint64_t, std::uint64_t>;
  static NameBits name_bits(const void* id) {
    const std::uint64_t h = InternedName::hash_of(id) * 0x9E3779B97F4A7C15ull;
    return {std::uint64_t{1} << (h >> 58), std::uint64_t{1} << ((h >> 52) & 63)};
  }
  bool may_hold(const NameBits& bits) const {
    return (name_mask_[0] & bits.first) != 0 && (name_mask_[1] & bits.second) != 0;
  }
  Variable* find_id(const void* id) const;
  void push(Item* item, const void* name);
  std::span<const ItemEntry> places() const { return {entries_, count_}; }
  void destroy_items();
  void give_room();
  void forget_names() { name_mask_[0] = name_mask_[1] = 0; }

  // A long list (the model's holds a row group per literal, and a run that
  // finds many orphaned sections adds thousands) is searched through an
  // index by name, made at its first search and kept by appends; any other
  // change drops it, and the next search makes it again. A name missing from
  // every scope is looked up in the model's list, and the list's name masks
  // are then of no help: without the index each such lookup read it whole.
  static constexpr std::uint32_t kIndexedLength = 64;
  struct NameIndex;
  Variable* find_indexed(const void* id) const;
  void drop_index();

  // The place array: count_ entries in use of room_. Counts are 32 bits
  // wide, which keeps the list (one per model element) at six words.
  ItemEntry* entries_ = nullptr;
  std::uint32_t count_ = 0;
  std::uint32_t room_ = 0;
  std::uint64_t version_ = 0;
  std::uint64_t name_mask_[2] = {0, 0};
  mutable NameIndex* index_ = nullptr;  // owned; see drop_index
};

}  // namespace quill
