#include "model/link.h"

#include "model/elements.h"

namespace quill {

namespace {

// Looks up the object named by the element's type and records whether it exists.
ModelObject* resolve(const Model& model, TypedElement& element) {
  ModelObject* target = model.find_object(element.type);
  element.resolved = target != nullptr;
  return target;
}

void merge_and_rebuild(Element& element, const ModelObject& target) {
  element.merge_characteristics(target);
  element.rebuild_variables();
}

// Records that user uses target in the way tag names.
void record_use(ModelObject& user, ModelObject& target, std::string_view tag) {
  target.usage_tags.add_text(tag);
  move_to_end(target.users, &user);
  move_to_end(user.used_objects, &target);
}

void link_attribute(const Model& model, ModelObject& object, Attribute& attribute) {
  ModelObject* target = resolve(model, attribute);
  if (target == nullptr) return;
  record_use(object, *target, attribute.mapping);
  move_to_end(target->using_attributes, &attribute);
  attribute.type_object = target;
  merge_and_rebuild(attribute, *target);
}

// A return type or parameter of an object's function.
void link_function_part(const Model& model, ModelObject& object, TypedElement& element,
                        std::string_view tag) {
  ModelObject* target = resolve(model, element);
  if (target == nullptr) return;
  record_use(object, *target, tag);
  merge_and_rebuild(element, *target);
}

void link_function(const Model& model, ModelObject& object, Function& function) {
  if (function.return_type) link_function_part(model, object, *function.return_type, "ftn_rtype");
  for (auto& param : function.parameters) link_function_part(model, object, *param, "ftn_param");
}

void link_parent(const Model& model, ModelObject& object, ParentRef& parent) {
  ModelObject* target = model.find_object(parent.name);
  if (target == nullptr) return;
  record_use(object, *target, "parent");
  parent.parent = target;
  merge_and_rebuild(parent, *target);
}

void link_object(Model& model, ModelObject& object) {
  if (!object.states.empty()) model.has_behavior = true;
  if (!object.parents.empty()) model.has_inheritance = true;
  for (auto& attribute : object.attributes) link_attribute(model, object, *attribute);
  for (auto& function : object.functions) link_function(model, object, *function);
  for (auto& parent : object.parents) link_parent(model, object, *parent);
  if (object.parents.size() > 1) model.has_multiple_inheritance = true;
}

// A typed element outside any object: resolved and merged, no usage relation.
void link_free(const Model& model, TypedElement& element) {
  if (ModelObject* target = resolve(model, element)) merge_and_rebuild(element, *target);
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
  for (auto& object : model.objects) link_object(model, *object);
  for (auto& function : model.functions) {
    if (function->return_type) link_free(model, *function->return_type);
    for (auto& param : function->parameters) link_free(model, *param);
  }
  for (auto& instance : model.instances) link_free(model, *instance);
  merge_common_characteristics(model);
}

}  // namespace quill
