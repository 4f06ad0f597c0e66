#include "engine/held_model.h"

#include <utility>

#include "model/elements.h"

namespace quill {

namespace {

std::unique_ptr<Model>& slot() {
  static std::unique_ptr<Model> model;
  return model;
}

}  // namespace

Model* held_model() {
  return slot().get();
}

void replace_held_model(std::unique_ptr<Model> model) {
  set_current_model(nullptr);
  slot() = std::move(model);
  set_current_model(slot().get());
}

void discard_held_model() {
  replace_held_model(nullptr);
}

}  // namespace quill
