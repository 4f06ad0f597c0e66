// Top-level objects by name, for passes that look up the type or parent of
// every element of a large model.
#pragma once

#include <string_view>
#include <unordered_map>

namespace quill {

class Model;
class ModelObject;

class ObjectIndex {
 public:
  // Indexes the model's top-level objects; the names must not change while
  // the index is in use.
  explicit ObjectIndex(const Model& model);
  // The first top-level object with exactly that name, as Model::find_object
  // gives it; nullptr when there is none.
  ModelObject* find(std::string_view name) const;

 private:
  std::unordered_map<std::string_view, ModelObject*> by_name_;
};

}  // namespace quill
