#include "foundation/console_sink.h"

#include <string>

namespace quill {

namespace {
constexpr std::string_view kIndent = "            ";  // continuation lines line up under the text
}

void ConsoleSink::message(Severity severity, std::string_view text) {
  if (text.data() == nullptr) return;
  std::string out = severity_prefix(static_cast<int>(severity));
  out.reserve(out.size() + text.size() + 1);
  for (char c : text) {
    if (c == '\r') continue;
    out += c;
    if (c == '\n') out += kIndent;
  }
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), out_);
  std::fflush(out_);
}

void ConsoleSink::error_list(std::string_view message_text, std::string_view list) {
  if (message_text.data() == nullptr || list.data() == nullptr) return;
  std::string line = severity_prefix(static_cast<int>(Severity::error));
  line.append(message_text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), out_);
  message(Severity::plain, list);
}

void ConsoleSink::file_created(std::string_view path) {
  if (path.data() == nullptr || path == "-NEW-") return;
  std::string line = severity_prefix(static_cast<int>(Severity::info));
  line += "Creating: ";
  line.append(path);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
}

}  // namespace quill
