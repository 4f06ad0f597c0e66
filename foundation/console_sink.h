// The sink of the console program: severity prefixes on standard output.
#pragma once

#include <cstdio>

#include "foundation/messages.h"

namespace quill {

class ConsoleSink : public MessageSink {
 public:
  explicit ConsoleSink(std::FILE* out = stdout) : out_(out) {}
  void message(Severity severity, std::string_view text) override;
  void error_list(std::string_view message, std::string_view list) override;
  void file_created(std::string_view path) override;

 private:
  std::FILE* out_;
};

}  // namespace quill
