// The engine's named commands and process_cmd, the only call interface
// between a front end and the engine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

using CommandHandler = void (*)();

struct CommandRow {
  const char* name;
  CommandHandler handler;  // null: does nothing
};

// The rows in order, ending with "END".
const std::vector<CommandRow>& command_table();

// Binds the handler of an existing row (the engine does this at start-up).
void bind_command(std::string_view name, CommandHandler handler);

// Stores the (name, value) pairs of args, then runs the named command.
// An odd number of args is reported and nothing happens. An empty command
// name only stores the pairs.
void process_cmd(const char* command, const std::vector<std::string>* args = nullptr);
inline void process_cmd(const char* command, const std::vector<std::string>& args) {
  process_cmd(command, &args);
}

}  // namespace quill
