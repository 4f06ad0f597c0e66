// Memory for small arrays that are made and dropped by the hundred thousand
// (the place arrays of ItemLists): sizes up to a few hundred bytes come in
// powers of two from slabs, without an allocator header or rounding for
// each, and a dropped array waits in a free list for the next of its size.
// Larger arrays go to the allocator. Slab memory is reused, never returned.
// Not guarded: the arrays belong to one thread, like the lists.
#pragma once

#include <cstddef>

namespace quill {

class RoomStock {
 public:
  static constexpr size_t kSmallest = 16;     // bytes
  static constexpr size_t kLargestKept = 512;  // bytes; larger rooms go to the allocator

  // The size of the room handed out for a request of `bytes` (at least that).
  // Inline: most requests are for the smallest room, settled by one test.
  static size_t room_for(size_t bytes) {
    if (bytes > kLargestKept) return bytes;
    size_t room = kSmallest;
    while (room < bytes) room <<= 1;
    return room;
  }
  // A room of exactly `bytes`, which must be a size room_for returned.
  static void* take(size_t bytes);
  // Gives back a room that take(bytes) handed out.
  static void give(void* room, size_t bytes);
};

}  // namespace quill
