// Execution of the iterator statements and .refd_obj.
#include "template/generation_run.h"
#include "template/statements.h"

namespace quill {

void IteratorStatement::execute(GenerationRun& /*run*/) {}

}  // namespace quill
