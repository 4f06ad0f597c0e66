// quillb: the console program.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "batch/front_end.h"
#include "engine/engine.h"
#include "foundation/console_sink.h"
#include "foundation/memory.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "output/output_file.h"

// Builds with the address sanitizer look for leaks at the exit, which needs
// the ordinary teardown.
#if defined(__SANITIZE_ADDRESS__)
#define QUILL_CHECKS_LEAKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILL_CHECKS_LEAKS 1
#endif
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifndef QUILL_CHECKS_LEAKS
  const auto model_size = quill::model_file_size(args);
  quill::platform::restart_with_huge_pages(argv, quill::is_large_run(model_size));
  quill::platform::prepare_heap(quill::expected_model_memory(model_size));
#endif
  quill::install_out_of_memory_handler();
  quill::install_sink(std::make_unique<quill::ConsoleSink>());
  quill::bind_engine_commands();
  quill::write_new_files_in_background();
  int code = quill::run_batch(args);
  quill::platform::settle_writes();
#ifndef QUILL_CHECKS_LEAKS
  // The model and the other structures of the run end with the process: the
  // system takes their memory back at once, where freeing it piece by piece
  // costs a good part of a generation. Nothing else is pending once the last
  // output file is closed; the messages are flushed.
  if (!quill::output_file().is_open()) {
    std::fflush(nullptr);
    std::_Exit(code);
  }
#endif
  return code;
}
