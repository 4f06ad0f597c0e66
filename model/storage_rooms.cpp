#include "model/storage_rooms.h"

#include <new>

namespace quill {

namespace {

constexpr size_t kClasses = RoomStock::kLargestKept / RoomStock::kStep;  // 16, 32, ... 512 bytes
constexpr size_t kSlabBytes = 64 * 1024;
static_assert(RoomStock::kLargestKept % RoomStock::kStep == 0);

// A free room holds the link to the next free room of its class.
struct FreeRoom {
  FreeRoom* next;
};

// A slab starts with the link to the slab made before it, so that every slab
// stays reachable without a container.
struct SlabHead {
  SlabHead* previous;
};

// Plain data, set up before any code runs and never destroyed: the lists
// ask for rooms at every append, and neither a guard for a first use nor a
// destructor at exit (lists destroyed late still give back) may stand in
// their way.
struct Stock {
  FreeRoom* free[kClasses];
  SlabHead* newest;
  char* next;  // the unused rest of the newest slab
  size_t left;
};
constinit Stock g_stock{};

size_t class_of(size_t bytes) { return bytes / RoomStock::kStep - 1; }

[[gnu::noinline]] void* carve_new_slab(size_t bytes) {
  Stock& s = g_stock;
  // A slab's tail too short for a room stays unused.
  auto* slab = static_cast<char*>(::operator new(kSlabBytes));
  s.newest = new (slab) SlabHead{s.newest};
  s.next = slab + sizeof(SlabHead);
  s.left = kSlabBytes - sizeof(SlabHead);
  void* room = s.next;
  s.next += bytes;
  s.left -= bytes;
  return room;
}

}  // namespace

void* RoomStock::take(size_t bytes) {
  if (bytes > kLargestKept) return ::operator new(bytes);
  Stock& s = g_stock;
  FreeRoom*& head = s.free[class_of(bytes)];
  if (FreeRoom* room = head) {
    head = room->next;
    return room;
  }
  if (s.left < bytes) return carve_new_slab(bytes);
  void* room = s.next;
  s.next += bytes;
  s.left -= bytes;
  return room;
}

void RoomStock::give(void* room, size_t bytes) {
  if (room == nullptr) return;
  if (bytes > kLargestKept) return ::operator delete(room);
  FreeRoom*& head = g_stock.free[class_of(bytes)];
  head = new (room) FreeRoom{head};
}

}  // namespace quill
