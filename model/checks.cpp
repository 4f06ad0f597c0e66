// Six checks, each reporting on its own: unique object and attribute names,
// attributes not named like their object, parents that exist, pragmas and
// foreign types set once, and substitutions that neither redefine a name of
// the model nor leave a type unreplaced. All six always run.
#include "model/checks.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "foundation/messages.h"
#include "model/elements.h"
#include "model/object_index.h"

namespace quill {

namespace {

constexpr std::string_view kNotUnique =
    "Names of objects and attributes must be unique.  These names are used more than once in "
    "the object model.";
constexpr std::string_view kAttributeLikeObject =
    "Attributes must have names that differ from their object's name.  These attribute names "
    "need to be changed.";
constexpr std::string_view kMissingParents =
    "Objects cited as parents of other objects must be part of the set of objects in the "
    "model.  These objects are used as parents, but are not in the model.";
constexpr std::string_view kPragmaTwice =
    "Pragmas can only be set once.  These pragmas have been set more than once.";
constexpr std::string_view kForeignTwice =
    "Foreign type definitions can only be set once.  The listed types have been set more than "
    "once.";

// Offending names, each followed by CR LF.
class NameList {
 public:
  void add(std::string_view name) { text_.append(name).append("\r\n"); }
  // Adds the name unless it was listed already.
  void add_once(std::string_view name) {
    if (listed_.emplace(name).second) add(name);
  }
  // Reports the message with the list when the list is not empty; true when empty.
  bool report(std::string_view message) const {
    if (text_.empty()) return true;
    sink().error_list(message, text_);
    return false;
  }

 private:
  std::string text_;
  std::unordered_set<std::string> listed_;
};

std::string attribute_key(const ModelObject& object, const Attribute& attribute) {
  return object.name + "." + attribute.name;
}

bool check_unique_names(const Model& model) {
  std::unordered_set<std::string> seen;
  NameList repeated;
  auto enter = [&](const std::string& name) {
    if (!seen.insert(name).second) repeated.add_once(name);
  };
  for (const auto& object : model.objects) enter(object->name);
  for (const auto& object : model.objects) {
    for (const auto& attribute : object->attributes) enter(attribute_key(*object, *attribute));
  }
  return repeated.report(kNotUnique);
}

bool check_attributes_unlike_object(const Model& model) {
  NameList offending;
  for (const auto& object : model.objects) {
    for (const auto& attribute : object->attributes) {
      if (attribute->name == object->name) offending.add(attribute_key(*object, *attribute));
    }
  }
  return offending.report(kAttributeLikeObject);
}

bool check_parents_exist(const Model& model) {
  NameList missing;
  const ObjectIndex index(model);
  for (const auto& object : model.objects) {
    for (const auto& parent : object->parents) {
      if (index.find(parent->name) == nullptr) missing.add(parent->name);
    }
  }
  return missing.report(kMissingParents);
}

// Every name that more than one element of the list carries, listed once.
template <class T>
bool check_set_once(const std::vector<std::unique_ptr<T>>& elements, std::string_view message) {
  std::unordered_map<std::string_view, int> uses;
  for (const auto& element : elements) ++uses[element->name];
  NameList repeated;
  for (const auto& element : elements) {
    if (uses[element->name] > 1) repeated.add_once(element->name);
  }
  return repeated.report(message);
}

// Compares one substitution with the names and types of the model.
class SubstitutionCheck {
 public:
  SubstitutionCheck(const Substitution& substitution, std::string& report)
      : w_(substitution), report_(report) {}

  void run(Model& model) {
    for (auto& object : model.objects) visit_object(*object);
    for (auto& function : model.functions) visit_model_function(*function);
  }

 private:
  void redefines(const std::string& name, std::string_view reason) {
    if (name != w_.name) return;
    report_.append("Substitution '").append(w_.name).append("' -- ").append(reason).append("\r\n");
  }

  // A matching type becomes the substitution's value and takes its characteristics.
  void replace_type(TypedElement& element) {
    if (element.type != w_.name) return;
    element.type = w_.value();
    element.merge_characteristics(w_);
    element.discard_variables();
  }

  void visit_parameters(Function& function) {
    for (auto& param : function.parameters) {
      redefines(param->name, "May not redefine the name of a function param");
      replace_type(*param);
    }
  }

  void visit_object(ModelObject& object) {
    redefines(object.name, "May not redefine the name of an object");
    for (auto& attribute : object.attributes) {
      redefines(attribute->name, "May not redefine the name of an attribute");
      replace_type(*attribute);
    }
    for (auto& function : object.functions) {
      redefines(function->name, "May not redefine the name of a function");
      visit_parameters(*function);
      if (function->return_type) replace_type(*function->return_type);
    }
    for (auto& state : object.states) {
      redefines(state->name, "May not redefine the name of a state");
      if (state->action) redefines(state->action->name, "May not redefine the name of a state action");
    }
  }

  // A model-level return type is first replaced without the characteristics;
  // the second pass merges them only when the type still carries the
  // substitution's name (a substitution without definition).
  void visit_model_function(Function& function) {
    redefines(function.name, "May not redefine the name of a function");
    ReturnType* rtype = function.return_type.get();
    if (rtype != nullptr && rtype->type == w_.name) rtype->type = w_.value();
    visit_parameters(function);
    if (rtype != nullptr) replace_type(*rtype);
  }

  const Substitution& w_;
  std::string& report_;
};

bool check_substitutions(Model& model) {
  std::string report;
  for (const auto& substitution : model.substitutions) {
    SubstitutionCheck(*substitution, report).run(model);
  }
  if (report.empty()) return true;
  error(report);
  return false;
}

}  // namespace

bool check(Model& model) {
  model.check_verdict = check_unique_names(model);
  if (!check_attributes_unlike_object(model)) model.check_verdict = false;
  if (!check_parents_exist(model)) model.check_verdict = false;
  if (!check_set_once(model.pragmas, kPragmaTwice)) model.check_verdict = false;
  if (!check_set_once(model.substitutions, kForeignTwice)) model.check_verdict = false;
  if (!check_substitutions(model)) model.check_verdict = false;
  return model.check_verdict;
}

}  // namespace quill
