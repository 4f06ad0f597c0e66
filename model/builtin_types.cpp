#include "model/builtin_types.h"

#include <algorithm>
#include <memory>

#include "model/elements.h"

namespace quill {

namespace {

struct BuiltinType {
  std::string_view target;
  std::string_view name;
  bool use_ref;
};

// In order of creation.
constexpr BuiltinType kBuiltinTypes[] = {
    {"c++", "bool", false},     {"c++", "BOOL", false},   {"c++", "int", false},
    {"c++", "unsigned", false}, {"c++", "short", false},  {"c++", "long", false},
    {"c++", "float", false},    {"c++", "double", false}, {"c++", "char", false},
    {"c++", "string", true},
    {"ada", "integer", false},  {"ada", "natural", false}, {"ada", "positive", false},
    {"ada", "boolean", false},  {"ada", "string", false},
};

bool has_substitution(const Model& model, std::string_view name) {
  return std::any_of(model.substitutions.begin(), model.substitutions.end(),
                     [name](const auto& s) { return s->name == name; });
}

}  // namespace

void add_builtin_types(Model& model, std::string_view target) {
  for (const BuiltinType& type : kBuiltinTypes) {
    if (type.target != target || has_substitution(model, type.name)) continue;
    auto builtin = std::make_unique<Substitution>(type.name);
    builtin->set_characteristic_only("is_builtin", "true");
    if (type.use_ref) builtin->set_characteristic_only("use_ref", "true");
    model.substitutions.push_back(std::move(builtin));
  }
}

}  // namespace quill
