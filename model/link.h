// The link step: resolves the type and parent names of a checked model to its
// top-level objects and records who uses whom.
#pragma once

namespace quill {

class Model;

// Runs once on a model that passed the checks: sets the behaviour and
// inheritance flags, resolves the typed elements and parent references of
// the top-level objects, the model-level functions and the instances,
// records usage tags, users, used objects and using attributes, and gives
// the model the characteristics common to all top-level objects. Nested
// objects are not visited.
void link_model(Model& model);

}  // namespace quill
