#include "batch/command_line.h"

#include "foundation/platform.h"

namespace quill {

namespace {

// An argument starting with '/' may be an absolute path rather than an option.
bool is_absolute_path(const std::string& arg) {
  if (arg.find('/', 1) != std::string::npos) return true;
  platform::FileKind kind = platform::file_kind(arg);
  return kind == platform::FileKind::regular || kind == platform::FileKind::directory;
}

}  // namespace

bool option_name_of(const std::string& arg, std::string& name) {
  if (arg.size() < 2) return false;  // "", "/", "-" are positional
  if (arg[0] == '/') {
    if (is_absolute_path(arg)) return false;
    name = arg.substr(1);
    return true;
  }
  if (arg[0] != '-') return false;
  name = arg.substr(arg[1] == '-' ? 2 : 1);
  return true;
}

CommandLine::CommandLine(const std::vector<std::string>& args) {
  std::string name, ignored;
  for (size_t i = 0; i < args.size(); ++i) {
    if (!option_name_of(args[i], name)) {
      positionals_.push_back(args[i]);
      continue;
    }
    bool takes_next = i + 1 < args.size() && !option_name_of(args[i + 1], ignored);
    options_.push_back({name, takes_next ? args[++i] : "true"});
  }
}

const std::string* CommandLine::positional(size_t n) const {
  return n >= 1 && n <= positionals_.size() ? &positionals_[n - 1] : nullptr;
}

const std::string* CommandLine::option(std::string_view name, size_t n) const {
  if (n == 0) return nullptr;
  for (const Option& o : options_) {
    if (o.name.starts_with(name) && --n == 0) return &o.value;
  }
  return nullptr;
}

}  // namespace quill
