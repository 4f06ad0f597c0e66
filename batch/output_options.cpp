#include "batch/output_options.h"

#include "batch/command_line.h"
#include "batch/front_end.h"
#include "foundation/ini_reader.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/settings.h"
#include "output/check_run.h"
#include "output/file_record.h"

namespace quill {

namespace {

constexpr int kExitWouldChange = 1;
constexpr const char* kNoDepfileName = "The option /depfile needs a file name.\n";

// A bare option reads "true"; for /depfile that means no file was named.
constexpr const char* kBareOption = "true";

bool is_on(const std::string* value) { return value != nullptr && *value == "true"; }

}  // namespace

bool read_output_options(const CommandLine& line, OutputOptions& options) {
  options.check = is_on(line.option("check"));
  const std::string* depfile = line.option("depfile");
  options.depfile = depfile ? *depfile : "";
  if (depfile && (depfile->empty() || *depfile == kBareOption)) {
    error(kNoDepfileName);
    return false;
  }
  return true;
}

void start_output_options(const CommandLine& line, const OutputOptions& options,
                          const std::string& ini_dir) {
  set_check_run(options.check);
  clear_file_record();
  set_file_record(!options.depfile.empty());
  const std::string* option = line.option("onlychanged");
  std::string value = "false";
  if (option)
    value = *option;
  else if (file_exists(join_path(ini_dir, "quill.ini")))
    value = ini_read(ini_dir, "quill.ini", "LastCodegenSettings", "WriteOnlyChanged", "false");
  settings().set("WriteOnlyChanged", value);
}

int finish_output_options(const OutputOptions& options, int exit_code) {
  if (options.check) {
    int changed = report_check_run();
    set_check_run(false);
    if (exit_code != kExitOk) return exit_code;
    return changed > 0 ? kExitWouldChange : kExitOk;
  }
  if (!options.depfile.empty() && !write_depfile(options.depfile)) return kExitFailure;
  return exit_code;
}

}  // namespace quill
