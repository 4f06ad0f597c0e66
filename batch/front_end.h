// The console program: checks its command line, fills the settings store
// from built-in defaults, quill.ini and options, and runs the engine over one
// model and template or over a whole project.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "foundation/ini_reader.h"

namespace quill {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;

// Runs one console session over the arguments that follow the program name
// and returns the process exit code. The engine commands must be bound.
int run_batch(const std::vector<std::string>& args);


// Whether a run over these arguments is likely to hold a heap large enough
// for huge pages to pay for restarting the program: a model file of 64 KiB
// or more, or a project (whose models are not known before it is read).
bool is_large_run(const std::vector<std::string>& args);
// About how much memory the model of a run will take (bytes): a model takes
// some twelve times the size of its file. 0 for a project, whose models are
// not known yet.
std::size_t expected_model_memory(const std::vector<std::string>& args);

// Prints the usage text as information messages.
void print_usage();

// The full path of an existing file named by arg (as named, else found in
// the current directory); arg itself when there is none.
std::string resolve_argument(const std::string& arg);

// Fills ShowFileNames ... TemSearchPath from quill.ini in ini_dir, each
// with its built-in default, without any command-line option.
void fill_settings_from_ini(const std::string& ini_dir);

// Generates every rule of the project file and returns the exit code; a
// project file that is not a version 1 project is reported and gives kExitFailure.
int run_project_file(const std::string& project_file, const std::string& ini_dir);

}  // namespace quill
