#include "output/process_exit.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/messages.h"

namespace quill {

void exit_after_error(std::string_view format, std::string_view path) {
  error(format, path);
  std::fflush(nullptr);
  std::exit(2);
}

}  // namespace quill
