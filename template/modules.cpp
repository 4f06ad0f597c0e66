// Execution of modules and module calls. A module runs only when called; it
// binds the actual arguments of the call to its formal parameters in a scope
// of its own and runs its body.
#include "template/modules.h"

#include <string>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "model/elements.h"
#include "template/generation_run.h"
#include "template/statements.h"

namespace quill {

namespace {

int nesting = 0;  // module calls in progress (the process runs one generation at a time)

// Counts one call in progress for as long as it lives.
class NestingGuard {
 public:
  NestingGuard() { ++nesting; }
  ~NestingGuard() { --nesting; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
};

// A quoted actual is its text without the quotes; any other actual names a
// variable. An actual that names no variable is bound as written.
std::string var_value(GenerationRun& run, const std::string& actual) {
  if (!actual.empty() && actual[0] == '"')
    return actual.size() < 2 ? std::string() : actual.substr(1, actual.size() - 2);
  const Variable* variable = run.symbols.find(InternedName(actual));
  return variable ? variable->value() : actual;
}

// Copies the element's variables under the formal's name into the scope.
// The element's own list is asked again with its former prefix afterwards:
// the list is shared with the scopes of the running iterators, which must
// keep their names.
void add_element_variables(Element& element, const std::string& formal, ItemList& scope) {
  const std::string former = element.remembered_prefix();
  for (const Variable& v : element.variables(formal).variables()) scope.append_clone(v);
  element.variables(former);
}

void bind_formal(GenerationRun& run, const FormalParameter& formal, const std::string& actual,
                 ItemList& scope) {
  if (formal.type == "var") {
    scope.set(formal.name, var_value(run, actual));
  } else if (formal.type == "obj") {
    if (run.current_object) add_element_variables(*run.current_object, formal.name, scope);
  } else if (formal.type == "attr") {
    if (run.current_attribute) add_element_variables(*run.current_attribute, formal.name, scope);
  }
}

}  // namespace

void ModuleStatement::execute(GenerationRun& run) {
  static const std::vector<std::string> kNone;
  const std::vector<std::string>& actuals = run.module_arguments ? *run.module_arguments : kNone;
  if (actuals.size() != parameters_.size()) {
    error("Call to module %s with wrong number of parameters. Actual %s, Formal %s", name_,
          int_text(static_cast<long long>(actuals.size())),
          int_text(static_cast<long long>(parameters_.size())));
    return;
  }
  ItemList scope;
  run.symbols.push(scope);  // a full table reports itself; the pop below still pairs
  for (size_t i = 0; i < parameters_.size(); ++i)
    bind_formal(run, parameters_[i], actuals[i], scope);
  execute_children(run);
  run.symbols.pop();
}

bool call_module(GenerationRun& run, std::string_view name,
                 const std::vector<std::string>& arguments) {
  ModuleStatement* module = run.root ? run.root->find_module(name) : nullptr;
  if (!module) return false;
  if (nesting >= kMaxModuleNesting) {
    error("Module '%s' not run: module calls are nested more than %s deep.", module->name(),
          int_text(kMaxModuleNesting));
    run.unwinding = true;
    return true;
  }
  NestingGuard guard;
  const std::vector<std::string>* saved = run.module_arguments;
  run.module_arguments = &arguments;
  module->execute(run);
  run.module_arguments = saved;
  if (nesting == 1) run.unwinding = false;  // the outermost call has ended
  return true;
}

}  // namespace quill
