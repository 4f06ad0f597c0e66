// The context every template statement receives while it executes: the
// symbol table, the loaded tree, the model, the element each running
// iterator made current, the arguments of the module call in progress and
// the array and keyed variables.
#pragma once

#include <string>
#include <vector>

#include "template/registries.h"
#include "template/symbol_table.h"

namespace quill {

class Attribute;
class BlockStatement;
class Element;
class Event;
class Flow;
class Function;
class Instance;
class Literal;
class Model;
class ModelObject;
class Parameter;
class Process;
class State;
class Substitution;
class Transition;
class Variable;

struct GenerationRun {
  SymbolTable symbols{SymbolTable::kRunCapacity};
  const BlockStatement* root = nullptr;  // modules are found among its children
  Model* model = nullptr;

  // Current elements: set by the running iterators, restored when they end.
  Element* current_element = nullptr;
  ModelObject* current_object = nullptr;
  Attribute* current_attribute = nullptr;
  State* current_state = nullptr;
  Transition* current_transition = nullptr;
  Literal* current_literal = nullptr;
  Process* current_process = nullptr;
  Flow* current_flow = nullptr;
  Function* current_function = nullptr;
  Parameter* current_parameter = nullptr;
  Event* current_event = nullptr;
  Substitution* current_substitution = nullptr;
  Instance* current_instance = nullptr;
  Variable* current_characteristic = nullptr;

  // The actual arguments of the module call in progress, or none.
  const std::vector<std::string>* module_arguments = nullptr;
  // Set when a module call was refused for being nested too deep: the calls
  // in progress end at once, back to the outermost one, after which the
  // template goes on. Letting each level go on instead would repeat the
  // refusal for every call the levels still make, which for a module that
  // calls itself once per element is exponential.
  bool unwinding = false;

  ArrayRegistry arrays;  // name[] variables
  KeyedRegistry keyed;   // name{key} variables
};

struct Template;

// Runs a loaded template over the model: sets template.path, the model's
// scope, the setvar and date variables, executes the root and closes the
// current output file.
void run_template(Template& loaded, Model& model);

}  // namespace quill
