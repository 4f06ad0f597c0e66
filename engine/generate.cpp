// GenerateCode: loads the template named by CGenTemplate, runs it over the
// held model and shows the summary of files and lines written.
#include <string>

#include "engine/commands.h"
#include "engine/held_model.h"
#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "output/file_record.h"
#include "output/output_file.h"
#include "template/builder.h"
#include "template/directives.h"
#include "template/generation_run.h"

namespace quill {

namespace {

constexpr std::string_view kLoadFailed =
    "Code generation aborted due to template loading error(s).";
constexpr std::string_view kNoModel = "Code generation aborted: no object model has been compiled.";
constexpr std::string_view kSummary =
    "Code Generation Is Finished.\n\n   Files:  %s\n\n   Lines:  %s";

void show_summary() {
  if (!settings().is_true("ShowGenSummary") || settings().is_true("DoingBatchGen")) return;
  const OutputFile& out = output_file();
  info(format_message(kSummary, {int_text(out.file_count()), int_text(out.line_count())}));
}

}  // namespace

void generate_code() {
  Template loaded = load_template(settings().get("CGenTemplate"));
  for (const std::string& read : loaded.files) note_file_read(read);
  if (!loaded.ok || !loaded.root || loaded.root->children().empty()) {
    error(kLoadFailed);
    settings().set("CodegenStatus", "template-load-error");
    return;
  }
  Model* model = held_model();
  if (!model) {
    error(kNoModel);
    settings().set("CodegenStatus", "no-model");
    return;
  }
  if (!settings().is_true("DoingBatchGen")) output_file().reset_counts();
  install_directive_processor();
  run_template(loaded, *model);
  // The run is over when its last file is written, wherever it was written.
  platform::settle_writes();
  show_summary();
  settings().set("CodegenStatus", "ok");
}

}  // namespace quill
