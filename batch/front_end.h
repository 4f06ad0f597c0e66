// The console program: checks its command line, fills the settings store
// from built-in defaults, quill.ini and options, and runs the engine over one
// model and template or over a whole project.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/ini_reader.h"

namespace quill {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;

// Runs one console session over the arguments that follow the program name
// and returns the process exit code. The engine commands must be bound.
int run_batch(const std::vector<std::string>& args);


// The size of the largest file the arguments name (the model's, as a rule);
// none for a project, whose models are not known before it is read.
std::optional<std::uint64_t> model_file_size(const std::vector<std::string>& args);
// Whether a run with a model of that size is likely to hold a heap large
// enough for huge pages to pay for restarting the program: a model file of
// 64 KiB or more, or a project.
bool is_large_run(std::optional<std::uint64_t> model_size);
// About how much memory such a model will take (bytes): some twelve times
// the size of its file. 0 for a project.
std::size_t expected_model_memory(std::optional<std::uint64_t> model_size);

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
