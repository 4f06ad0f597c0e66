#include "model/storage_rooms.h"

#include <new>
#include <vector>

namespace quill {

namespace {

constexpr size_t kClasses = 6;  // 16, 32, ... 512 bytes
constexpr size_t kSlabBytes = 64 * 1024;
static_assert(RoomStock::kSmallest << (kClasses - 1) == RoomStock::kLargestKept);

// A free room holds the link to the next free room of its class.
struct FreeRoom {
  FreeRoom* next;
};

struct Stock {
  FreeRoom* free[kClasses] = {};
  std::vector<char*> slabs;  // kept so that the slabs stay reachable
  char* next = nullptr;      // the unused rest of the newest slab
  size_t left = 0;
};

// Never destroyed, so that lists destroyed late in the process can still give back.
Stock& stock() {
  static Stock* s = new Stock;
  return *s;
}

size_t class_of(size_t bytes) {
  size_t c = 0;
  while ((RoomStock::kSmallest << c) < bytes) ++c;
  return c;
}

void* carve(Stock& s, size_t bytes) {
  if (s.left < bytes) {
    s.next = static_cast<char*>(::operator new(kSlabBytes));
    s.slabs.push_back(s.next);
    s.left = kSlabBytes;  // a slab's tail too short for a room stays unused
  }
  void* room = s.next;
  s.next += bytes;
  s.left -= bytes;
  return room;
}

}  // namespace

void* RoomStock::take(size_t bytes) {
  if (bytes > kLargestKept) return ::operator new(bytes);
  Stock& s = stock();
  FreeRoom*& head = s.free[class_of(bytes)];
  if (head == nullptr) return carve(s, bytes);
  FreeRoom* room = head;
  head = room->next;
  return room;
}

void RoomStock::give(void* room, size_t bytes) {
  if (room == nullptr) return;
  if (bytes > kLargestKept) return ::operator delete(room);
  FreeRoom*& head = stock().free[class_of(bytes)];
  head = new (room) FreeRoom{head};
}

}  // namespace quill
