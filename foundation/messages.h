// Every message of the engine goes through one process-wide MessageSink.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace quill {

enum class Severity : int { plain = 0, error = 1, warning = 2, info = 3, bare = 4 };

// The 12-character console prefix of a severity ("UNKNOWN" for other values).
const char* severity_prefix(int severity);

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void message(Severity /*severity*/, std::string_view /*text*/) {}
  virtual void error_list(std::string_view /*message*/, std::string_view /*list*/) {}
  virtual void file_created(std::string_view /*path*/) {}
};

// The installed sink (a do-nothing sink until one is installed). Asking for
// it first waits for the files being written in the background, so that a
// failure among them comes before the message (platform::settle_writes).
MessageSink& sink();
// Installs a sink for the rest of the process (or until the next install);
// returns the previous one so tests can restore it.
std::unique_ptr<MessageSink> install_sink(std::unique_ptr<MessageSink> s);

// Replaces the first "%s" of the current text by each argument in turn; an
// empty argument leaves its "%s"; an argument with no "%s" left goes in front.
std::string format_message(std::string_view format, std::initializer_list<std::string_view> args);

void error(std::string_view text);
void warning(std::string_view text);
void info(std::string_view text);
void error(std::string_view format, std::string_view a1);
void error(std::string_view format, std::string_view a1, std::string_view a2);
void error(std::string_view format, std::string_view a1, std::string_view a2, std::string_view a3);
void warning(std::string_view format, std::string_view a1);
void warning(std::string_view format, std::string_view a1, std::string_view a2);
void info(std::string_view format, std::string_view a1);
void info(std::string_view format, std::string_view a1, std::string_view a2);
void info(std::string_view format, std::string_view a1, std::string_view a2, std::string_view a3);

// Returns false, so that `return fail(...)` reports and fails in one line.
bool fail(std::string_view text);

// Announces a file opened for writing when ShowFileNames is exactly "true".
void notify_file_created(std::string_view path);

}  // namespace quill
