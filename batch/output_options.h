// The options that shape what a run does to the disk, on the model road and
// the project road alike:
//   /check        generate everything but change nothing; list the files
//                 that would be created or would change; exit code 1 when
//                 any would, 0 when all are up to date
//   /depfile FILE after the run, write a Make-style dependency file naming
//                 every file written and every file read
//   /onlychanged  leave a file whose new content equals the old one
//                 untouched (setting WriteOnlyChanged, also read from quill.ini)
#pragma once

#include <string>

namespace quill {

class CommandLine;

struct OutputOptions {
  bool check = false;
  std::string depfile;  // "" for none
};

// Reads the options; false (after reporting) when /depfile has no file name.
bool read_output_options(const CommandLine& line, OutputOptions& options);

// Prepares the run: a check run or not, an empty record of the files read
// and written, and WriteOnlyChanged from /onlychanged, else from quill.ini
// in ini_dir (when that file exists), else "false".
void start_output_options(const CommandLine& line, const OutputOptions& options,
                          const std::string& ini_dir);

// Finishes the run that ended with exit_code and returns the final exit
// code: a check run reports the files that would change and gives 1 when
// there are any, 0 otherwise (a run that failed keeps its code); otherwise
// the dependency file is written (2 when it cannot be).
int finish_output_options(const OutputOptions& options, int exit_code);

}  // namespace quill
