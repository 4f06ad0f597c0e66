#include "engine/commands.h"

namespace quill {

void generate_code() {}

}  // namespace quill
