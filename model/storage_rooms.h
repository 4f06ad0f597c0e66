// Memory for small blocks that are made and dropped by the hundred thousand
// (the place arrays of ItemLists, model elements): sizes up to a few hundred
// bytes come, in steps of 8 bytes (the alignment both need), from slabs,
// without an allocator header or rounding for each, and a dropped block
// waits in a free list for the next of its size.
// Larger arrays go to the allocator. Slab memory is reused, never returned.
// Not guarded: the arrays belong to one thread, like the lists.
#pragma once

#include <cstddef>
#include <new>

namespace quill {

class RoomStock {
 public:
  static constexpr size_t kStep = 8;           // bytes; sizes kept are multiples of it
  static constexpr size_t kSmallest = kStep;   // bytes
  static constexpr size_t kLargestKept = 512;  // bytes; larger rooms go to the allocator

  // The size of the room handed out for a request of `bytes` (at least that).
  // Inline: settled by one test and a rounding.
  static size_t room_for(size_t bytes) {
    if (bytes > kLargestKept) return bytes;
    if (bytes <= kSmallest) return kSmallest;
    return (bytes + kStep - 1) & ~(kStep - 1);
  }
  // A room of exactly `bytes`, which must be a size room_for returned.
  // Inline: a list takes a room at nearly every first or growing append.
  static void* take(size_t bytes) {
    if (bytes <= kLargestKept) {
      FreeRoom*& head = stock_.free[class_of(bytes)];
      if (FreeRoom* room = head) {
        head = room->next;
        return room;
      }
      if (stock_.left >= bytes) {
        void* room = stock_.next;
        stock_.next += bytes;
        stock_.left -= bytes;
        return room;
      }
    }
    return take_elsewhere(bytes);
  }
  // Gives back a room that take(bytes) handed out.
  static void give(void* room, size_t bytes) {
    if (room == nullptr) return;
    if (bytes > kLargestKept) return give_large(room);
    FreeRoom*& head = stock_.free[class_of(bytes)];
    head = new (room) FreeRoom{head};
  }

 private:
  static constexpr size_t kClasses = kLargestKept / kStep;  // 8, 16, ... 512 bytes

  // A free room holds the link to the next free room of its class.
  struct FreeRoom {
    FreeRoom* next;
  };
  // A slab starts with the link to the slab made before it, so that every
  // slab stays reachable without a container.
  struct SlabHead {
    SlabHead* previous;
  };
  // Plain data, set up before any code runs and never destroyed: neither a
  // guard for a first use nor a destructor at exit (lists destroyed late
  // still give back) may stand in the way of the lists.
  struct Stock {
    FreeRoom* free[kClasses];
    SlabHead* newest;
    char* next;  // the unused rest of the newest slab
    size_t left;
  };

  static size_t class_of(size_t bytes) { return bytes / kStep - 1; }
  // A large room from the allocator, or a small one from a new slab.
  static void* take_elsewhere(size_t bytes);
  static void give_large(void* room);

  static constinit Stock stock_;
};

}  // namespace quill
