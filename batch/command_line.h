// The command line of the console program, split once into positional
// arguments and (name, value) options.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class CommandLine {
 public:
  struct Option {
    std::string name;   // as written, without the leading '/', '-' or "--"
    std::string value;  // the consumed next argument, or "true"
  };

  // Splits the arguments that follow the program name.
  explicit CommandLine(const std::vector<std::string>& args);

  // The n-th positional argument (n from 1), or null when there are fewer.
  const std::string* positional(size_t n) const;
  // The value of the n-th option (n from 1) whose written name begins with
  // name, or null when there are fewer such options.
  const std::string* option(std::string_view name, size_t n = 1) const;
  bool has_option(std::string_view name) const { return option(name) != nullptr; }

  const std::vector<std::string>& positionals() const { return positionals_; }
  const std::vector<Option>& options() const { return options_; }

 private:
  std::vector<std::string> positionals_;
  std::vector<Option> options_;
};

// The option name an argument carries, or false when the argument is
// positional: "/name", "-name" and "--name" are options, a lone "-" is not,
// and "/..." is a path when it holds another '/' or names an existing file
// or directory.
bool option_name_of(const std::string& arg, std::string& name);

}  // namespace quill
