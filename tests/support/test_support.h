// Shared fixtures for the unit tests: a capturing message sink, a clean
// settings store and a private temporary directory. Tests never touch the
// user's real configuration.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/messages.h"

namespace quill::testing {

// Records every message as "<prefix><text>" lines, exactly as the console would show them.
class CapturingSink : public MessageSink {
 public:
  void message(Severity severity, std::string_view text) override;
  void error_list(std::string_view message, std::string_view list) override;
  void file_created(std::string_view path) override;

  struct Entry {
    std::string kind;  // "message", "error_list", "file_created"
    int severity = 0;
    std::string text;
    std::string list;
  };
  std::vector<Entry> entries;
  // The console rendering of everything received.
  std::string output;
};

// Installs a CapturingSink, clears the settings store and makes a fresh
// temporary directory (removed afterwards). QUILLDIR points into it, so no
// test reads the user's quill.ini.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file below the temporary directory and returns its path.
  std::string write(const std::string& relative, const std::string& content);
  // Reads a file (raw bytes); "" when missing.
  std::string read(const std::string& path);
  const std::string& output() const { return sink_->output; }
  void clear_output() { sink_->output.clear(); sink_->entries.clear(); }

  CapturingSink* sink_ = nullptr;
  std::string dir_;  // the temporary directory, without a trailing separator

 private:
  std::unique_ptr<MessageSink> previous_;
};

}  // namespace quill::testing
