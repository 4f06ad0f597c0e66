// The one compiled model the engine holds between a compile and the
// generation runs that use it.
#pragma once

#include <memory>

namespace quill {

class Model;

// The held model, or nullptr when the engine holds none.
Model* held_model();
// Destroys the held model and holds the new one (which may be null); the
// held model is the current model that characteristic changes propagate through.
void replace_held_model(std::unique_ptr<Model> model);
// Destroys the held model; the engine then holds none.
void discard_held_model();

}  // namespace quill
