// Start-up of the engine: connects the command table to the engine's handlers.
#pragma once

namespace quill {

// Binds "CompileObjDefs", "FormatObjText" and "GenerateCode" to their
// handlers; a front end calls it once before its first process_cmd.
void bind_engine_commands();

}  // namespace quill
