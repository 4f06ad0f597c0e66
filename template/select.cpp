// Execution of .select and its .default branch.
#include "template/generation_run.h"
#include "template/statements.h"

namespace quill {

void SelectStatement::execute(GenerationRun& /*run*/) {}

}  // namespace quill
