#include "foundation/messages.h"

#include <gtest/gtest.h>

#include "foundation/settings.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

TEST(MessagesTest, FormatMessage) {
  struct Row {
    const char* format;
    std::vector<std::string> args;
    const char* expected;
  };
  const Row rows[] = {
      {"Command '%s' not recognized - Ignored.", {"X"}, "Command 'X' not recognized - Ignored."},
      {"Command '%s' not recognized - Ignored.", {""}, "Command '%s' not recognized - Ignored."},
      {"%s and %s", {"a", "b"}, "a and b"},
      {"%s and %s", {"", "b"}, "b and %s"},
      {"no slot", {"a"}, "ano slot"},
      {"%s then %s", {"x%sy", "z"}, "xzy then %s"},
      {"%s %s %s", {"1", "2", "3"}, "1 2 3"},
  };
  for (const Row& r : rows) {
    std::string text;
    if (r.args.size() == 1) text = format_message(r.format, {r.args[0]});
    if (r.args.size() == 2) text = format_message(r.format, {r.args[0], r.args[1]});
    if (r.args.size() == 3) text = format_message(r.format, {r.args[0], r.args[1], r.args[2]});
    EXPECT_EQ(text, r.expected) << r.format;
  }
}

class ConsoleTest : public testing::EngineTest {};

TEST_F(ConsoleTest, RendersMessages) {
  struct Row {
    int severity;
    const char* text;
    const char* expected;
  };
  const Row rows[] = {
      {1, "a\nb", "***ERROR    a\n            b\n"},
      {3, "end\n", "  *INFO     end\n            \n"},
      {2, "c\r\nd", " **WARNING  c\n            d\n"},
      {7, "x", "UNKNOWNx\n"},
      {4, "bare", "bare\n"},
      {0, "plain", "            plain\n"},
      {-1, "neg", "UNKNOWNneg\n"},
  };
  for (const Row& r : rows) {
    clear_output();
    sink().message(static_cast<Severity>(r.severity), r.text);
    EXPECT_EQ(output(), r.expected) << r.severity << " " << r.text;
  }
}

TEST_F(ConsoleTest, ErrorListAndFileNotices) {
  sink().error_list("Bad names:\nfollow", "a\nb\n");
  EXPECT_EQ(output(), "***ERROR    Bad names:\nfollow\n            a\n            b\n            \n");
  clear_output();
  sink().file_created("-NEW-");
  EXPECT_EQ(output(), "");
  sink().file_created("gen/a.h");
  EXPECT_EQ(output(), "  *INFO     Creating: gen/a.h\n");
}

TEST_F(ConsoleTest, FileNoticesFollowShowFileNames) {
  for (const char* value : {"false", "TRUE", ""}) {
    settings().set("ShowFileNames", value);
    notify_file_created("x.h");
  }
  EXPECT_EQ(output(), "");
  settings().set("ShowFileNames", "true");
  notify_file_created("x.h");
  EXPECT_EQ(output(), "  *INFO     Creating: x.h\n");
}

TEST_F(ConsoleTest, HelpersForwardToTheSink) {
  EXPECT_FALSE(fail("stop"));
  warning("w %s %s", "1", "2");
  info("%s-%s-%s", "a", "b", "c");
  EXPECT_EQ(output(), "***ERROR    stop\n **WARNING  w 1 2\n  *INFO     a-b-c\n");
}

TEST(MessageSinkTest, InstallingNothingRestoresTheSilentSink) {
  auto previous = install_sink(std::make_unique<testing::CapturingSink>());
  auto mine = install_sink(nullptr);
  error("goes nowhere");
  EXPECT_TRUE(static_cast<testing::CapturingSink&>(*mine).entries.empty());
  install_sink(std::move(previous));
}

}  // namespace
}  // namespace quill
