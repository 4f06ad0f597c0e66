// The start and the end of a generation run: the variables that exist before
// the first statement runs, the execution of the root and the closing of the
// output.
#include "template/generation_run.h"

#include <string>

#include "foundation/char_set.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "output/output_file.h"
#include "template/builder.h"
#include "template/statements.h"

namespace quill {

namespace {

// setvar1, setvar2, ... up to the first empty one: a name, one white-space
// character and the value; a name alone sets the variable to "true".
void set_command_line_variables(SymbolTable& symbols) {
  for (int n = 1;; ++n) {
    const std::string& text = settings().get("setvar" + int_text(n));
    if (text.empty()) return;
    const size_t blank = find_member(sets::white(), text);
    if (blank == text.size())
      symbols.set(text, "true");
    else
      symbols.set(std::string_view(text).substr(0, blank),
                  std::string_view(text).substr(blank + 1));
  }
}

// date.year counts the years since 1900.
void set_date_variables(SymbolTable& symbols) {
  const platform::LocalTime now = platform::local_time();
  symbols.set("date.year", int_text(now.year - 1900));
  symbols.set("date.month", int_text(now.month));
  symbols.set("date.day", int_text(now.day));
  symbols.set("date.hour", int_text(now.hour));
  symbols.set("date.minute", int_text(now.minute));
  symbols.set("date.second", int_text(now.second));
}

}  // namespace

void run_template(Template& loaded, Model& model) {
  model.begin_run();
  GenerationRun run;
  run.symbols.set("template.path", settings().get("CGenTemplate"));
  run.symbols.push(model.variables(""));
  set_command_line_variables(run.symbols);
  set_date_variables(run.symbols);
  run.root = loaded.root.get();
  run.model = &model;
  if (loaded.root) loaded.root->execute(run);
  output_file().close();
  run.symbols.pop();
  model.end_run();
}

}  // namespace quill
