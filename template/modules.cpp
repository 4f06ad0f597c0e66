// Execution of modules and module calls.
#include "template/generation_run.h"
#include "template/statements.h"

namespace quill {

void ModuleStatement::execute(GenerationRun& /*run*/) {}

}  // namespace quill
