#include "engine/engine.h"

#include "engine/commands.h"
#include "foundation/commands.h"

namespace quill {

namespace {

struct Binding {
  const char* name;
  CommandHandler handler;
};

constexpr Binding kBindings[] = {
    {"FormatObjText", format_obj_text},
    {"CompileObjDefs", compile_obj_defs},
    {"GenerateCode", generate_code},
};

}  // namespace

void bind_engine_commands() {
  for (const Binding& b : kBindings) bind_command(b.name, b.handler);
}

}  // namespace quill
