#include "engine/commands.h"

namespace quill {

void compile_obj_defs() {}

}  // namespace quill
