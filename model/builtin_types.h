// The built-in types of the target languages, added to a parsed model as
// substitutions without definition.
#pragma once

#include <string_view>

namespace quill {

class Model;

// Appends the built-in types of the target ("c++" or "ada", compared
// exactly; anything else adds none) to the model's substitutions, each with
// `is_builtin` = "true" and, where the type is passed by reference,
// `use_ref` = "true". A type the model already declares is not added.
void add_builtin_types(Model& model, std::string_view target);

}  // namespace quill
