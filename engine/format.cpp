#include "engine/commands.h"
#include "foundation/settings.h"
#include "model/formatter.h"

namespace quill {

void format_obj_text() {
  const std::string& text = settings().get("ObjText");
  if (text.empty()) return;
  std::string formatted = ModelTextFormatter().format(text);
  settings().set("ObjText", formatted);
}

}  // namespace quill
