// quillb: the console program.
#include <memory>
#include <string>
#include <vector>

#include "batch/front_end.h"
#include "engine/engine.h"
#include "foundation/console_sink.h"
#include "foundation/memory.h"
#include "foundation/messages.h"

int main(int argc, char** argv) {
  quill::install_out_of_memory_handler();
  quill::install_sink(std::make_unique<quill::ConsoleSink>());
  quill::bind_engine_commands();
  return quill::run_batch(std::vector<std::string>(argv + 1, argv + argc));
}
