#include "model/object_index.h"

#include "model/elements.h"

namespace quill {

ObjectIndex::ObjectIndex(const Model& model) : by_name_(model.objects.size()) {
  // try_emplace keeps the first object of a repeated name.
  for (const auto& object : model.objects) {
    by_name_.try_emplace(object->name, object.get());
    const size_t bit = filter_bit(object->name);
    filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
}

}  // namespace quill
