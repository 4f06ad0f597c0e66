// Compact construction of hand-made models for the model tests.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/elements.h"

namespace quill::testing {

inline ModelObject& add_object(Model& model, const std::string& name,
                               std::initializer_list<const char*> parents = {}) {
  auto& object = *model.objects.emplace_back(std::make_unique<ModelObject>(name));
  for (const char* p : parents) object.parents.push_back(std::make_unique<ParentRef>(p));
  return object;
}

inline Attribute& add_attribute(ModelObject& object, const std::string& name,
                                const std::string& type, const std::string& mapping = "simple") {
  auto attribute = std::make_unique<Attribute>(name, type);
  attribute->set_mapping(mapping);
  return object.add_attribute(std::move(attribute));
}

// A function with an optional return type ("" for none) and (name, type) parameters.
inline Function& add_function(std::vector<std::unique_ptr<Function>>& functions,
                              const std::string& name, const std::string& return_type,
                              std::initializer_list<std::pair<const char*, const char*>> params = {}) {
  auto& function = *functions.emplace_back(std::make_unique<Function>(name));
  if (!return_type.empty()) function.return_type = std::make_unique<ReturnType>("", return_type);
  for (const auto& [n, t] : params) function.parameters.push_back(std::make_unique<Parameter>(n, t));
  return function;
}

inline State& add_state(std::vector<std::unique_ptr<State>>& states, const std::string& name,
                        const std::string& action = "") {
  auto& state = *states.emplace_back(std::make_unique<State>(name));
  if (!action.empty()) state.action = std::make_unique<StateAction>(action);
  return state;
}

inline std::string names_of(const std::vector<ModelObject*>& objects) {
  std::string out;
  for (const ModelObject* o : objects) out += (out.empty() ? "" : ",") + o->name;
  return out;
}

inline std::string texts_of(const ItemList& list) {
  std::string out;
  for (const TextItem& t : list.texts()) out += (out.empty() ? "" : ",") + t.value();
  return out;
}

}  // namespace quill::testing
