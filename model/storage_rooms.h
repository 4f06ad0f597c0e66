// Memory for small arrays that are made and dropped by the hundred thousand
// (the place arrays of ItemLists): sizes up to a few hundred bytes come, in
// steps of 16 bytes, from slabs, without an allocator header or rounding for
// each, and a dropped array waits in a free list for the next of its size.
// Larger arrays go to the allocator. Slab memory is reused, never returned.
// Not guarded: the arrays belong to one thread, like the lists.
#pragma once

#include <cstddef>

namespace quill {

class RoomStock {
 public:
  static constexpr size_t kStep = 16;          // bytes; sizes kept are multiples of it
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
  static void* take(size_t bytes);
  // Gives back a room that take(bytes) handed out.
  static void give(void* room, size_t bytes);
};

}  // namespace quill
