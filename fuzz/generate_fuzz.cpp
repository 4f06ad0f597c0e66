// A whole console run: the input holds a model, a template and optionally a
// previous output file ("name\ncontent"), separated by kPartSeparator. The run
// writes into a scratch directory and starts no command; under a fuzzer run as root the process is
// jailed so that no path in the input can reach any other directory.
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch/front_end.h"
#include "engine/engine.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "fuzz/fuzz_support.h"

namespace {

// Keeps a file name inside the output directory.
std::string safe_name(std::string_view name) {
  std::string out;
  for (char c : name)
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_') out += c;
  if (out.empty() || out.find("..") != std::string::npos) out = "gen.h";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  quill::bind_engine_commands();
  // A fuzzed template names arbitrary paths: outside the jail a fuzzer could
  // overwrite any file the user may write. Replays of known inputs are fine.
  if (!quill::fuzz::enter_jail(*argc, *argv) && quill::fuzz::kFuzzBuild &&
      std::getenv("QUILL_FUZZ_UNJAILED") == nullptr) {
    std::fprintf(stderr, "generate_fuzz must run as root (to be jailed); "
                         "QUILL_FUZZ_UNJAILED=1 overrides at your own risk\n");
    std::exit(1);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000) return 0;
  std::vector<std::string> parts = quill::fuzz::split_parts(data, size);
  if (parts.size() < 2) return 0;
  const std::string& dir = quill::fuzz::scratch_dir();
  quill::fuzz::empty_directory(dir);
  quill::fuzz::reset_engine();
  quill::platform::change_directory(dir);
  quill::platform::set_env("QUILLDIR", dir);
  std::string model = quill::fuzz::write_scratch("m.dsm", parts[0]);
  std::string tem = quill::fuzz::write_scratch("t.tem", parts[1]);
  quill::platform::create_directory(dir + "/out");
  if (parts.size() > 2) {
    size_t lf = parts[2].find('\n');
    std::string name = safe_name(parts[2].substr(0, lf));
    quill::fuzz::write_scratch("out/" + name,
                               lf == std::string::npos ? "" : parts[2].substr(lf + 1));
  }
  try {
    quill::run_batch({model, tem, dir + "/out", "/rstrip", size % 2 ? "true" : "false"});
  } catch (const quill::fuzz::OrderlyExit&) {
  }
  return 0;
}
