#include "foundation/memory.h"

#include <cstdlib>
#include <new>

namespace quill {

namespace {
[[noreturn]] void out_of_memory() { std::_Exit(2); }
}  // namespace

void install_out_of_memory_handler() { std::set_new_handler(out_of_memory); }

}  // namespace quill
