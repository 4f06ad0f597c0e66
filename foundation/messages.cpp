#include "foundation/messages.h"

#include "foundation/platform.h"
#include "foundation/settings.h"

namespace quill {

namespace {
constexpr const char* kPrefixes[] = {
    "            ",  // plain
    "***ERROR    ",  // error
    " **WARNING  ",  // warning
    "  *INFO     ",  // info
    "",              // bare
};

std::unique_ptr<MessageSink>& installed() {
  static std::unique_ptr<MessageSink> current = std::make_unique<MessageSink>();
  return current;
}

void send(Severity severity, std::string_view format, std::initializer_list<std::string_view> args) {
  sink().message(severity, format_message(format, args));
}
}  // namespace

const char* severity_prefix(int severity) {
  constexpr int kCount = static_cast<int>(sizeof kPrefixes / sizeof kPrefixes[0]);
  return severity >= 0 && severity < kCount ? kPrefixes[severity] : "UNKNOWN";
}

// A message waits for the files being written in the background: a failure
// among them is reported first, where writing at once would have put it.
// Only the announcement of each new file does not wait (notify_file_created):
// the files would then be written one at a time again, and a failure is
// still reported before any other message, naming its file.
MessageSink& sink() {
  platform::settle_writes();
  return *installed();
}

std::unique_ptr<MessageSink> install_sink(std::unique_ptr<MessageSink> s) {
  if (!s) s = std::make_unique<MessageSink>();
  installed().swap(s);
  return s;
}

std::string format_message(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string text(format);
  for (std::string_view arg : args) {
    if (arg.empty()) continue;  // leaves its "%s" for the next argument
    size_t at = text.find("%s");
    if (at == std::string::npos) {
      text.insert(0, arg);
    } else {
      text.replace(at, 2, arg);
    }
  }
  return text;
}

void error(std::string_view text) { sink().message(Severity::error, text); }
void warning(std::string_view text) { sink().message(Severity::warning, text); }
void info(std::string_view text) { sink().message(Severity::info, text); }

void error(std::string_view format, std::string_view a1) { send(Severity::error, format, {a1}); }
void error(std::string_view format, std::string_view a1, std::string_view a2) {
  send(Severity::error, format, {a1, a2});
}
void error(std::string_view format, std::string_view a1, std::string_view a2, std::string_view a3) {
  send(Severity::error, format, {a1, a2, a3});
}
void warning(std::string_view format, std::string_view a1) { send(Severity::warning, format, {a1}); }
void warning(std::string_view format, std::string_view a1, std::string_view a2) {
  send(Severity::warning, format, {a1, a2});
}
void info(std::string_view format, std::string_view a1) { send(Severity::info, format, {a1}); }
void info(std::string_view format, std::string_view a1, std::string_view a2) {
  send(Severity::info, format, {a1, a2});
}
void info(std::string_view format, std::string_view a1, std::string_view a2, std::string_view a3) {
  send(Severity::info, format, {a1, a2, a3});
}

bool fail(std::string_view text) {
  error(text);
  return false;
}

void notify_file_created(std::string_view path) {
  if (settings().is_true("ShowFileNames")) installed()->file_created(path);
}

}  // namespace quill
