// The semantic checks that a parsed model must pass before it is linked.
#pragma once

namespace quill {

class Model;

// Runs all six checks over the top-level objects and their direct members
// (nested objects are not visited), reports every failure through the
// message sink, replaces substituted types, stores the verdict in the model
// and returns it: true when every check passed.
bool check(Model& model);

}  // namespace quill
