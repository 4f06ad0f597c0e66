// Execution of .select and its .default branch: at most one branch runs.
#include "template/generation_run.h"
#include "template/statements.h"

namespace quill {

void SelectStatement::execute(GenerationRun& run) {
  if (!test_condition(run)) return;
  for (const StatementPtr& alternative : children_) {
    if (!alternative->test_condition(run)) continue;
    if (alternative->kind() == stmt_block)
      static_cast<BlockStatement&>(*alternative).execute_children(run);
    else
      alternative->execute(run);
    return;
  }
  if (default_branch_) default_branch_->execute(run);
}

}  // namespace quill
