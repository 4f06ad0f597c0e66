// The one way the output side ends the process: a generated file that cannot
// be safely overwritten, or a fallback file that cannot be opened.
#pragma once

#include <string_view>

namespace quill {

// Reports the message (its "%s" replaced by path) as an error and ends the
// process with exit code 2.
[[noreturn]] void exit_after_error(std::string_view format, std::string_view path);

}  // namespace quill
