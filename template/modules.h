// Calling the modules of a loaded template.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

struct GenerationRun;

// The deepest nesting of module calls; a call beyond it is refused and reported.
inline constexpr int kMaxModuleNesting = 64;

// Runs the first module of the template root named `name` with `arguments`
// as the actual arguments; the run's previous arguments are restored
// afterwards. Returns false, reporting nothing, when there is no such module.
bool call_module(GenerationRun& run, std::string_view name,
                 const std::vector<std::string>& arguments);

}  // namespace quill
