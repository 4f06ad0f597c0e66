#include "model/items.h"

#include <algorithm>
#include <new>

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

// The stock of Variables and of place arrays.
//
// Variables are made in slabs and never given back to the allocator: a
// destroyed Variable waits in the stock for the next add_variable, which
// refills it in place (its value string keeps its room, up to a bound). A
// model holds its characteristics as Variables by the hundred thousand, and
// a slab spends no allocator header or rounding on each of them. The stock
// itself lives until exit (it is never destroyed, so that lists destroyed
// late in the process can still give back to it).
//
// Place arrays are kept in a bounded stock, so that a list once grown very
// large does not keep its memory after it is emptied.
class VariablePool {
 public:
  static VariablePool& instance() {
    static VariablePool* pool = new VariablePool;
    return *pool;
  }

  Variable* take(InternedName name, std::string_view value) {
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

  // A place array with room for at least n entries when one is in stock.
  void take_room(std::vector<ItemEntry>& entries, size_t n) {
    for (size_t c = room_class(n); c < kRoomClasses; ++c) {
      if (spare_rooms_[c].empty()) continue;
      entries.swap(spare_rooms_[c].back());
      spare_rooms_[c].pop_back();
      return;
    }
  }

  // Keeps the place array of a list that no longer needs it (it is left empty).
  void give_room(std::vector<ItemEntry>& entries) {
    const size_t room = entries.capacity();
    if (room >= kSmallestRoom && room <= kLargestRoom) {
      std::vector<std::vector<ItemEntry>>& stock = spare_rooms_[room_class(room + 1) - 1];
      if (stock.size() < kMaxSpareRooms) {
        entries.clear();
        stock.push_back(std::move(entries));
      }
    }
    std::vector<ItemEntry>().swap(entries);
  }

 private:
  static constexpr size_t kSlabSize = 256;  // Variables per slab
  static constexpr size_t kMaxKeptValue = 256;
  // Spare Variables beyond this many keep no value room.
  static constexpr size_t kMaxRoomyVariables = 16384;
  static constexpr size_t kMaxSpareRooms = 1024;  // per class
  // Place arrays are kept by room: class c holds rooms of at least
  // kSmallestRoom << c entries.
  static constexpr size_t kSmallestRoom = 4;
  static constexpr size_t kRoomClasses = 5;
  static constexpr size_t kLargestRoom = (kSmallestRoom << kRoomClasses) - 1;

  struct alignas(Variable) Slot {
    unsigned char bytes[sizeof(Variable)];
  };

  // The class whose every room holds n entries (kRoomClasses when none does).
  static size_t room_class(size_t n) {
    size_t c = 0;
    while (c < kRoomClasses && (kSmallestRoom << c) < n) ++c;
    return c;
  }

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
  std::vector<std::vector<ItemEntry>> spare_rooms_[kRoomClasses];
};

namespace {
// Room made for a list's first item: many lists (characteristics) stay
// short for good; lists filled often reserve room, or reuse a stocked one.
constexpr size_t kFirstRoom = 1;
}  // namespace

ItemList::~ItemList() {
  destroy_items();
  VariablePool::instance().give_room(entries_);
}

ItemList::ItemList(ItemList&& other) noexcept
    : entries_(std::move(other.entries_)),
      version_(other.version_),
      name_mask_{other.name_mask_[0], other.name_mask_[1]} {
  other.entries_.clear();
  other.forget_names();
  ++other.version_;
}

ItemList& ItemList::operator=(ItemList&& other) noexcept {
  if (&other == this) return *this;
  destroy_items();
  entries_.swap(other.entries_);
  other.entries_.clear();
  name_mask_[0] = other.name_mask_[0];
  name_mask_[1] = other.name_mask_[1];
  other.forget_names();
  version_ = std::max(version_, other.version_) + 1;
  ++other.version_;
  return *this;
}

void ItemList::destroy_items() {
  VariablePool& pool = VariablePool::instance();
  for (const ItemEntry& e : entries_) pool.give(e.item);
  entries_.clear();
}

void ItemList::reserve(size_t n) {
  if (entries_.capacity() >= n) return;
  if (entries_.empty()) VariablePool::instance().take_room(entries_, n);
  entries_.reserve(n);
}

void ItemList::push(Item* item, const void* name) {
  if (entries_.size() == entries_.capacity())
    reserve(entries_.empty() ? kFirstRoom : 2 * entries_.size());
  entries_.push_back({item, name});
  if (name != nullptr) {
    const NameBits bits = name_bits(name);
    name_mask_[0] |= bits.first;
    name_mask_[1] |= bits.second;
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

TextItem& ItemList::add_text(std::string_view value) {
  auto* t = new TextItem(value);
  push(t, nullptr);
  return *t;
}

void ItemList::remove(const Item* item) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [item](const ItemEntry& e) { return e.item == item; });
  if (it == entries_.end()) return;
  Item* doomed = it->item;
  entries_.erase(it);
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
  VariablePool::instance().give_room(entries_);
}

void ItemList::copy_from(const ItemList& source) {
  if (&source == this) return;
  clear();
  reserve(source.count());
  for (const ItemEntry& e : source.entries_) append_clone(*e.item);
}

Variable* ItemList::find_id(const void* id) const {
  for (const ItemEntry& e : entries_)
    if (e.name == id) return static_cast<Variable*>(e.item);
  return nullptr;
}

Variable* ItemList::find(std::string_view name) const {
  for (const ItemEntry& e : entries_) {
    if (e.name == nullptr) continue;
    auto* v = static_cast<Variable*>(e.item);
    if (v->name().text() == name) return v;
  }
  return nullptr;
}

Variable& ItemList::set(std::string_view name, std::string_view value) {
  if (Variable* v = find(name)) {
    v->assign_value(value);
    ++version_;
    return *v;
  }
  return add_variable(name, value);
}

std::string ItemList::text() const {
  std::string out;
  for (const ItemEntry& e : entries_) out += e.item->text();
  return out;
}

}  // namespace quill
