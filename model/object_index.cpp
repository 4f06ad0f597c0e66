#include "model/object_index.h"

#include "model/elements.h"

namespace quill {

ObjectIndex::ObjectIndex(const Model& model) {
  by_name_.reserve(model.objects.size());
  // try_emplace keeps the first object of a repeated name.
  for (const auto& object : model.objects) by_name_.try_emplace(object->name, object.get());
}

ModelObject* ObjectIndex::find(std::string_view name) const {
  auto found = by_name_.find(name);
  return found == by_name_.end() ? nullptr : found->second;
}

}  // namespace quill
