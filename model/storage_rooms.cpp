#include "model/storage_rooms.h"

namespace quill {

namespace {
constexpr size_t kSlabBytes = 64 * 1024;
static_assert(RoomStock::kLargestKept % RoomStock::kStep == 0);
}  // namespace

constinit RoomStock::Stock RoomStock::stock_{};

// A slab's tail too short for the room stays unused.
void* RoomStock::take_elsewhere(size_t bytes) {
  if (bytes > kLargestKept) return ::operator new(bytes);
  auto* slab = static_cast<char*>(::operator new(kSlabBytes));
  stock_.newest = new (slab) SlabHead{stock_.newest};
  stock_.next = slab + sizeof(SlabHead) + bytes;
  stock_.left = kSlabBytes - sizeof(SlabHead) - bytes;
  return slab + sizeof(SlabHead);
}

void RoomStock::give_large(void* room) { ::operator delete(room); }

}  // namespace quill
