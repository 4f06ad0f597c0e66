#include "model/link.h"

#include "model/elements.h"
#include "model/object_index.h"

namespace quill {

namespace {

// Appends the element unless it is the last one already. This equals
// move_to_end when the list can only hold the element at its end, which
// keeps a popular object's list of users from costing a search per user.
template <class T>
void append_unless_last(std::vector<T*>& list, T* element) {
  if (list.empty() || list.back() != element) list.push_back(element);
}

// True when no top-level object has a user, a used object or a using
// attribute yet: the model is linked for the first time.
bool relations_empty(const Model& model) {
  for (const auto& object : model.objects) {
    if (!object->users.empty() || !object->used_objects.empty() ||
        !object->using_attributes.empty())
      return false;
  }
  return true;
}

void merge_and_rebuild(Element& element, const ModelObject& target) {
  element.merge_characteristics(target);
  element.discard_variables();
}

class Linker {
 public:
  explicit Linker(Model& model) : model_(model), index_(model), fresh_(relations_empty(model)) {}

  void run() {
    if (!model_.states.empty()) model_.has_behavior = true;
    for (auto& object : model_.objects) link_object(*object);
    for (auto& function : model_.functions) {
      if (function->return_type) link_free(*function->return_type);
      for (auto& param : function->parameters) link_free(*param);
    }
    for (auto& instance : model_.instances) link_free(*instance);
    merge_common_characteristics();
  }

 private:
  // Looks up the object named by the element's type and records whether it exists.
  ModelObject* resolve(TypedElement& element) const {
    ModelObject* target = index_.find(element.type());
    element.resolved = target != nullptr;
    return target;
  }

  // Records that user uses target in the way tag names. Every use by one
  // object is recorded while that object is linked, so on a first link the
  // user is already among the target's users exactly when it is the last.
  void record_use(ModelObject& user, ModelObject& target, std::string_view tag) const {
    target.usage_tags.add_text(tag);
    if (fresh_) {
      append_unless_last(target.users, &user);
    } else {
      move_to_end(target.users, &user);
    }
    move_to_end(user.used_objects, &target);
  }

  void link_attribute(ModelObject& object, Attribute& attribute) const {
    ModelObject* target = resolve(attribute);
    if (target == nullptr) return;
    record_use(object, *target, attribute.mapping());
    // On a first link no attribute is listed anywhere yet.
    if (fresh_) {
      target->using_attributes.push_back(&attribute);
    } else {
      move_to_end(target->using_attributes, &attribute);
    }
    attribute.type_object = target;
    merge_and_rebuild(attribute, *target);
  }

  // A return type or parameter of an object's function.
  void link_function_part(ModelObject& object, TypedElement& element, std::string_view tag) const {
    ModelObject* target = resolve(element);
    if (target == nullptr) return;
    record_use(object, *target, tag);
    merge_and_rebuild(element, *target);
  }

  void link_function(ModelObject& object, Function& function) const {
    if (function.return_type) link_function_part(object, *function.return_type, "ftn_rtype");
    for (auto& param : function.parameters) link_function_part(object, *param, "ftn_param");
  }

  void link_parent(ModelObject& object, ParentRef& parent) const {
    ModelObject* target = index_.find(parent.name);
    if (target == nullptr) return;
    record_use(object, *target, "parent");
    parent.parent = target;
    merge_and_rebuild(parent, *target);
  }

  void link_object(ModelObject& object) {
    if (!object.states.empty()) model_.has_behavior = true;
    if (!object.parents.empty()) model_.has_inheritance = true;
    for (auto& attribute : object.attributes) link_attribute(object, *attribute);
    for (auto& function : object.functions) link_function(object, *function);
    for (auto& parent : object.parents) link_parent(object, *parent);
    if (object.parents.size() > 1) model_.has_multiple_inheritance = true;
  }

  // A typed element outside any object: resolved and merged, no usage relation.
  void link_free(TypedElement& element) const {
    if (ModelObject* target = resolve(element)) merge_and_rebuild(element, *target);
  }

  // The model receives the characteristics that every top-level object has,
  // with the first object's values.
  void merge_common_characteristics() {
    if (model_.objects.empty()) return;
    Element common;
    common.edit_characteristics().copy_from(model_.objects.front()->characteristics());
    for (const auto& object : model_.objects) common.keep_common_characteristics(*object);
    model_.merge_characteristics(common);
  }

  Model& model_;
  const ObjectIndex index_;
  const bool fresh_;
};

}  // namespace

void link_model(Model& model) { Linker(model).run(); }

}  // namespace quill
