#include "engine/commands.h"

namespace quill {

void format_obj_text() {}

}  // namespace quill
