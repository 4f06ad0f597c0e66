// The handlers of the engine commands run through process_cmd. Each reads its
// inputs from the settings store and leaves its verdict there.
#pragma once

namespace quill {

// Compiles the model named by ModelName; writes CompileStatus and the
// error position settings.
void compile_obj_defs();

// Pretty-prints the model text held in ObjText back into ObjText.
void format_obj_text();

// Generates code from the held model with the template named by CGenTemplate.
void generate_code();

}  // namespace quill
