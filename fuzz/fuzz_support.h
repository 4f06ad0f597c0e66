// Helpers shared by the fuzz targets: a private scratch directory, splitting
// one input into several files, a clean engine state per input, and a jail
// that keeps a generation run from writing anywhere but its scratch directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::fuzz {

// True in the libFuzzer build, false in the replay build of the tests.
#ifdef QUILL_FUZZ_BUILD
inline constexpr bool kFuzzBuild = QUILL_FUZZ_BUILD;
#else
inline constexpr bool kFuzzBuild = false;
#endif

// Separates the parts of an input that holds several files (model, template...).
inline constexpr std::string_view kPartSeparator = "\n%%%%\n";

// The input cut at every kPartSeparator.
std::vector<std::string> split_parts(const uint8_t* data, size_t size);

// Thrown instead of ending the process when the output library gives up on
// a file, so that an orderly exit (code 2) is not taken for a crash. The
// linker sends every call of quill::exit_after_error to a wrapper that
// throws it; quill::platform::run_command is wrapped too and starts nothing.
struct OrderlyExit {};

// A scratch directory private to this process, created on first use.
const std::string& scratch_dir();

// Writes bytes to scratch_dir()/name and returns the path.
std::string write_scratch(const std::string& name, std::string_view bytes);

// Removes every entry below dir (not dir itself).
void empty_directory(const std::string& dir);

// Clears the settings, the held model and the output file; installs a
// sink that drops every message.
void reset_engine();

// When running as root and the build is a fuzzer: enters a private mount
// namespace in which every file system is read-only and device-less, except
// scratch_dir() and the writable directories named in args (corpus and
// artifact directories), then changes into scratch_dir(). Returns false
// (and changes nothing) when that is not possible. Replay builds do nothing.
bool enter_jail(int argc, char** argv);

}  // namespace quill::fuzz
