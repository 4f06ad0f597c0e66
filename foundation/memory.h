// Exhausted memory ends the process at once with exit code 2 and no message.
#pragma once

namespace quill {

// Installs the new-handler that ends the process with exit code 2.
void install_out_of_memory_handler();

}  // namespace quill
