#include "foundation/commands.h"

#include <cstring>

#include "foundation/messages.h"
#include "foundation/settings.h"

namespace quill {

namespace {
// The engine binds the handlers at start-up; "SetVar" only stores its pairs.
std::vector<CommandRow>& rows() {
  static std::vector<CommandRow> table = {
      {"FormatObjText", nullptr},
      {"CompileObjDefs", nullptr},
      {"GenerateCode", nullptr},
      {"SetVar", nullptr},
      {"END", nullptr},
  };
  return table;
}

bool is_end(const CommandRow& row) { return std::strcmp(row.name, "END") == 0; }
}  // namespace

const std::vector<CommandRow>& command_table() { return rows(); }

void bind_command(std::string_view name, CommandHandler handler) {
  for (CommandRow& row : rows()) {
    if (is_end(row)) return;
    if (name == row.name) row.handler = handler;
  }
}

void process_cmd(const char* command, const std::vector<std::string>* args) {
  std::string_view name = command ? command : "";
  if (args != nullptr) {
    if (args->size() % 2 != 0) {
      return error("Call made to process_cmd '%s' with odd number of args", name);
    }
    for (size_t i = 0; i < args->size(); i += 2) settings().set((*args)[i], (*args)[i + 1]);
  }
  if (name.empty()) return;
  for (const CommandRow& row : rows()) {
    if (is_end(row)) break;
    if (name == row.name) {
      if (row.handler) row.handler();
      return;
    }
  }
  error("Command '%s' not recognized - Ignored.", name);
}

}  // namespace quill
