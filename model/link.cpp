#include "model/link.h"

#include "model/elements.h"
#include "model/object_index.h"

namespace quill {

namespace {

// Looks up the object named by the element's type and records whether it exists.
ModelObject* resolve(const ObjectIndex& index, TypedElement& element) {
  ModelObject* target = index.find(element.type);
  element.resolved = target != nullptr;
  return target;
}

void merge_and_rebuild(Element& element, const ModelObject& target) {
  element.merge_characteristics(target);
  element.discard_variables();
}

// Records that user uses target in the way tag names.
void record_use(ModelObject& user, ModelObject& target, std::string_view tag) {
  target.usage_tags.add_text(tag);
  move_to_end(target.users, &user);
  move_to_end(user.used_objects, &target);
}

void link_attribute(const ObjectIndex& index, ModelObject& object, Attribute& attribute) {
  ModelObject* target = resolve(index, attribute);
  if (target == nullptr) return;
  record_use(object, *target, attribute.mapping);
  move_to_end(target->using_attributes, &attribute);
  attribute.type_object = target;
  merge_and_rebuild(attribute, *target);
}

// A return type or parameter of an object's function.
void link_function_part(const ObjectIndex& index, ModelObject& object, TypedElement& element,
                        std::string_view tag) {
  ModelObject* target = resolve(index, element);
  if (target == nullptr) return;
  record_use(object, *target, tag);
  merge_and_rebuild(element, *target);
}

void link_function(const ObjectIndex& index, ModelObject& object, Function& function) {
  if (function.return_type) link_function_part(index, object, *function.return_type, "ftn_rtype");
  for (auto& param : function.parameters) link_function_part(index, object, *param, "ftn_param");
}

void link_parent(const ObjectIndex& index, ModelObject& object, ParentRef& parent) {
  ModelObject* target = index.find(parent.name);
  if (target == nullptr) return;
  record_use(object, *target, "parent");
  parent.parent = target;
  merge_and_rebuild(parent, *target);
}

void link_object(Model& model, const ObjectIndex& index, ModelObject& object) {
  if (!object.states.empty()) model.has_behavior = true;
  if (!object.parents.empty()) model.has_inheritance = true;
  for (auto& attribute : object.attributes) link_attribute(index, object, *attribute);
  for (auto& function : object.functions) link_function(index, object, *function);
  for (auto& parent : object.parents) link_parent(index, object, *parent);
  if (object.parents.size() > 1) model.has_multiple_inheritance = true;
}

// A typed element outside any object: resolved and merged, no usage relation.
void link_free(const ObjectIndex& index, TypedElement& element) {
  if (ModelObject* target = resolve(index, element)) merge_and_rebuild(element, *target);
}

// The model receives the characteristics that every top-level object has,
// with the first object's values.
void merge_common_characteristics(Model& model) {
  if (model.objects.empty()) return;
  Element common;
  common.characteristics().copy_from(model.objects.front()->characteristics());
  for (const auto& object : model.objects) common.keep_common_characteristics(*object);
  model.merge_characteristics(common);
}

}  // namespace

void link_model(Model& model) {
  if (!model.states.empty()) model.has_behavior = true;
  const ObjectIndex index(model);
  for (auto& object : model.objects) link_object(model, index, *object);
  for (auto& function : model.functions) {
    if (function->return_type) link_free(index, *function->return_type);
    for (auto& param : function->parameters) link_free(index, *param);
  }
  for (auto& instance : model.instances) link_free(index, *instance);
  merge_common_characteristics(model);
}

}  // namespace quill
