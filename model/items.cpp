#include "model/items.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "model/storage_rooms.h"

namespace quill {

std::unique_ptr<Item> Item::clone() const { return std::make_unique<Item>(*this); }

std::unique_ptr<Item> TextItem::clone() const { return std::make_unique<TextItem>(*this); }

std::string TextItem::text() const {
  std::string out;
  out.reserve(value_.size() + 2);
  out.append(value_).append("\r\n");
  return out;
}

std::unique_ptr<Item> Variable::clone() const { return std::make_unique<Variable>(*this); }

std::string Variable::text() const {
  const std::string& n = name_.text();
  std::string out;
  out.reserve(n.size() + value().size() + 7);
  out.append(n).append(" = ").append(value()).append("  \r\n");
  return out;
}

// The stock of Variables.
//
// Variables are made in slabs and never given back to the allocator: a
// destroyed Variable waits in the stock for the next add_variable, which
// refills it in place (its value string keeps its room, up to a bound). A
// model holds its characteristics as Variables by the hundred thousand, and
// a slab spends no allocator header or rounding on each of them. The stock
// itself lives until exit (it is never destroyed, so that lists destroyed
// late in the process can still give back to it).
class VariablePool {
 public:
  static VariablePool& instance() {
    static VariablePool* pool = new VariablePool;
    return *pool;
  }

  [[gnu::always_inline]] Variable* take(InternedName name, std::string_view value) {
    if (spare_.empty()) return make(name, value);
    Variable* v = spare_.back();
    spare_.pop_back();
    v->name_ = name;
    // clear and append: the room is known to be unshared, which spares
    // assign's general replacement path.
    v->value_.clear();
    v->value_.append(value);
    return v;
  }

  // Takes the item back; a Variable stays in stock for later takes (also one
  // made elsewhere, which is then never deleted either).
  void give(Item* item) {
    if (item->kind() != kVariableKind) {
      delete item;
      return;
    }
    auto* v = static_cast<Variable*>(item);
    if (v->value_.capacity() > kMaxKeptValue || spare_.size() >= kMaxRoomyVariables)
      std::string().swap(v->value_);
    spare_.push_back(v);
  }

 private:
  static constexpr size_t kSlabSize = 256;  // Variables per slab
  static constexpr size_t kMaxKeptValue = 256;
  // Spare Variables beyond this many keep no value room.
  static constexpr size_t kMaxRoomyVariables = 16384;

  struct alignas(Variable) Slot {
    unsigned char bytes[sizeof(Variable)];
  };

  // A new Variable in the current slab, starting a slab when it is used up.
  Variable* make(InternedName name, std::string_view value) {
    if (slab_left_ == 0) {
      next_slot_ = new Slot[kSlabSize];
      slabs_.push_back(next_slot_);
      slab_left_ = kSlabSize;
    }
    --slab_left_;
    return new (next_slot_++) Variable(name, value);
  }

  std::vector<Variable*> spare_;
  std::vector<Slot*> slabs_;  // kept so that the slabs stay reachable
  Slot* next_slot_ = nullptr;
  size_t slab_left_ = 0;
};

namespace {
// Room made for a list's first item: many lists (characteristics) stay
// short for good; lists filled often reserve room.
constexpr size_t kFirstRoom = 1;
}  // namespace

// The position of the first entry of each name: an open-addressed table
// at most half full, so that making it for a list of thousands of entries
// costs no allocation per entry.
struct ItemList::NameIndex {
  struct Slot {
    const void* id = nullptr;
    std::uint32_t position = 0;
  };
  std::vector<Slot> slots;
  size_t used = 0;

  explicit NameIndex(size_t names) { slots.resize(std::bit_ceil(std::max<size_t>(16, 2 * names))); }

  size_t home(const void* id) const {
    const std::uint64_t h = InternedName::hash_of(id) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h >> 20) & (slots.size() - 1);
  }
  // Notes the position unless the name has an earlier one.
  void add(const void* id, std::uint32_t position) {
    if (2 * (used + 1) > slots.size()) grow();
    for (size_t i = home(id);; i = (i + 1) & (slots.size() - 1)) {
      if (slots[i].id == id) return;
      if (slots[i].id == nullptr) {
        slots[i] = {id, position};
        ++used;
        return;
      }
    }
  }
  const Slot* find(const void* id) const {
    for (size_t i = home(id);; i = (i + 1) & (slots.size() - 1)) {
      if (slots[i].id == id) return &slots[i];
      if (slots[i].id == nullptr) return nullptr;
    }
  }
  Slot* find(const void* id) { return const_cast<Slot*>(std::as_const(*this).find(id)); }
  void grow() {
    std::vector<Slot> old(2 * slots.size());
    old.swap(slots);
    used = 0;
    for (const Slot& slot : old)
      if (slot.id != nullptr) add(slot.id, slot.position);
  }
};

void ItemList::drop_index() {
  delete index_;
  index_ = nullptr;
}

ItemList::~ItemList() {
  destroy_items();
  give_room();
}

ItemList::ItemList(ItemList&& other) noexcept
    : entries_(other.entries_),
      count_(other.count_),
      room_(other.room_),
      version_(other.version_),
      name_mask_{other.name_mask_[0], other.name_mask_[1]},
      index_(std::exchange(other.index_, nullptr)) {
  other.entries_ = nullptr;
  other.count_ = other.room_ = 0;
  other.forget_names();
  ++other.version_;
}

// The other list keeps this list's (emptied) room.
ItemList& ItemList::operator=(ItemList&& other) noexcept {
  if (&other == this) return *this;
  destroy_items();
  std::swap(entries_, other.entries_);
  std::swap(room_, other.room_);
  count_ = other.count_;
  other.count_ = 0;
  name_mask_[0] = other.name_mask_[0];
  name_mask_[1] = other.name_mask_[1];
  other.forget_names();
  index_ = std::exchange(other.index_, nullptr);  // destroy_items dropped this list's
  version_ = std::max(version_, other.version_) + 1;
  ++other.version_;
  return *this;
}

void ItemList::destroy_items() {
  VariablePool& pool = VariablePool::instance();
  for (const ItemEntry& e : places()) pool.give(e.item);
  count_ = 0;
  drop_index();
}

void ItemList::give_room() {
  RoomStock::give(entries_, room_ * sizeof(ItemEntry));
  entries_ = nullptr;
  room_ = 0;
}

void ItemList::reserve(size_t n) {
  if (room_ >= n) return;
  if (n > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  const size_t bytes = RoomStock::room_for(n * sizeof(ItemEntry));
  auto* room = static_cast<ItemEntry*>(RoomStock::take(bytes));
  // A loop rather than memcpy: the lists moved here are mostly a few places long.
  for (std::uint32_t i = 0; i < count_; ++i) room[i] = entries_[i];
  if (entries_ != nullptr) give_room();  // a first room replaces none
  entries_ = room;
  room_ = static_cast<std::uint32_t>(bytes / sizeof(ItemEntry));
}

// Inline: every add_variable ends here, and the call cost as much as the work.
inline void ItemList::push(Item* item, const void* name) {
  if (count_ == room_) reserve(count_ == 0 ? kFirstRoom : 2 * size_t{count_});
  entries_[count_++] = {item, name};
  if (name != nullptr) {
    const NameBits bits = name_bits(name);
    name_mask_[0] |= bits.first;
    name_mask_[1] |= bits.second;
    if (index_) index_->add(name, count_ - 1);
  }
  ++version_;
}

Item& ItemList::append(std::unique_ptr<Item> item) {
  Item* added = item.release();
  const void* name =
      added->kind() == kVariableKind ? static_cast<Variable*>(added)->name().id() : nullptr;
  push(added, name);
  return *added;
}

Item& ItemList::append_clone(const Item& item) {
  if (item.kind() == kVariableKind) {
    const auto& v = static_cast<const Variable&>(item);
    return add_variable(v.name(), v.value());
  }
  return append(item.clone());
}

Variable& ItemList::add_variable(std::string_view name, std::string_view value) {
  return add_variable(InternedName(name), value);
}

Variable& ItemList::add_variable(InternedName name, std::string_view value) {
  Variable* v = VariablePool::instance().take(name, value);
  push(v, name.id());
  return *v;
}

// Model loading copies the characteristics of a type into every element of
// that type, mostly one or two at a time: the room is made once, and the
// names' bits are taken from source's masks whole (bits of names removed
// from source only make the test answer "maybe" more often).
void ItemList::append_copies(const ItemList& source) {
  if (&source == this || source.empty()) return;
  drop_index();
  reserve(size_t{count_} + source.count_);
  VariablePool& pool = VariablePool::instance();
  for (const ItemEntry& e : source.places()) {
    Item* copy = e.name != nullptr
                     ? pool.take(InternedName::from_id(e.name), static_cast<Variable*>(e.item)->value())
                     : e.item->clone().release();
    entries_[count_++] = {copy, e.name};
  }
  name_mask_[0] |= source.name_mask_[0];
  name_mask_[1] |= source.name_mask_[1];
  version_ += source.count_;
}

// The index keeps the first position of each name: the names of the moved
// stretch are looked up again, and those whose first place lay in it take
// their first place in the new order.
void ItemList::move_last_to(size_t n, size_t position) {
  if (position > count_ || n > count_ - position || n == 0 || n == count_ - position) return;
  std::rotate(entries_ + position, entries_ + count_ - n, entries_ + count_);
  ++version_;
  if (!index_) return;
  constexpr std::uint32_t kUnplaced = std::numeric_limits<std::uint32_t>::max();
  for (size_t i = position; i < count_; ++i) {
    if (entries_[i].name == nullptr) continue;
    NameIndex::Slot* slot = index_->find(entries_[i].name);
    if (slot == nullptr) return drop_index();  // not kept by some change: made anew when needed
    if (slot->position >= position) slot->position = kUnplaced;
  }
  for (size_t i = position; i < count_; ++i) {
    if (entries_[i].name == nullptr) continue;
    NameIndex::Slot* slot = index_->find(entries_[i].name);
    if (slot->position == kUnplaced) slot->position = static_cast<std::uint32_t>(i);
  }
}

TextItem& ItemList::add_text(std::string_view value) {
  auto* t = new TextItem(value);
  push(t, nullptr);
  return *t;
}

void ItemList::remove(const Item* item) {
  ItemEntry* const end = entries_ + count_;
  ItemEntry* it = std::find_if(entries_, end, [item](const ItemEntry& e) { return e.item == item; });
  if (it == end) return;
  Item* doomed = it->item;
  drop_index();
  std::copy(it + 1, end, it);
  --count_;
  VariablePool::instance().give(doomed);
  ++version_;
}

void ItemList::clear() {
  destroy_items();
  forget_names();
  ++version_;
}

void ItemList::release() {
  clear();
  give_room();
}

void ItemList::copy_from(const ItemList& source) {
  if (&source == this) return;
  clear();
  reserve(source.count());
  for (const ItemEntry& e : source.places()) append_clone(*e.item);
}

Variable* ItemList::find_id(const void* id) const {
  if (count_ >= kIndexedLength) return find_indexed(id);
  for (const ItemEntry& e : places())
    if (e.name == id) return static_cast<Variable*>(e.item);
  return nullptr;
}

Variable* ItemList::find_indexed(const void* id) const {
  if (!index_) {
    index_ = new NameIndex(count_);
    for (std::uint32_t i = 0; i < count_; ++i)
      if (entries_[i].name != nullptr) index_->add(entries_[i].name, i);
  }
  const NameIndex::Slot* slot = index_->find(id);
  return slot == nullptr ? nullptr : static_cast<Variable*>(entries_[slot->position].item);
}

Variable* ItemList::find(std::string_view name) const {
  for (const ItemEntry& e : places()) {
    if (e.name == nullptr) continue;
    auto* v = static_cast<Variable*>(e.item);
    if (v->name().text() == name) return v;
  }
  return nullptr;
}

// Interned first: the search then compares ids, and a new name needs no
// second lookup.
Variable& ItemList::set(std::string_view name, std::string_view value) {
  const InternedName id(name);
  if (Variable* v = find(id)) {
    v->assign_value(value);
    ++version_;
    return *v;
  }
  return add_variable(id, value);
}

std::string ItemList::text() const {
  std::string out;
  for (const ItemEntry& e : places()) out += e.item->text();
  return out;
}

}  // namespace quill
