// quill.ini read once per run: answers from memory inside a scope, fresh
// reads after the program changes the file or outside any scope, and the
// open failure still reported per key.
#include <gtest/gtest.h>

#include <string>

#include "foundation/ini_reader.h"
#include "foundation/platform.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class FastIniTest : public testing::EngineTest {
 protected:
  std::string key(const char* name) { return ini_read(dir_, "quill.ini", "S", name, "dflt"); }
  // Rewrites the file behind the platform layer's back, as another program would.
  void rewrite_outside(const std::string& content) { write("quill.ini", content); }
};

TEST_F(FastIniTest, ScopeAnswersFromMemoryUntilTheProgramChangesTheFile) {
  write("quill.ini", "[S]\nA=1\nB=2\n");
  {
    IniReadScope scope;
    EXPECT_EQ(key("A"), "1");
    rewrite_outside("[S]\nA=9\nB=8\n");
    struct Row {
      const char* key;
      const char* expected;
    } cached[] = {{"A", "1"}, {"B", "2"}, {"C", "dflt"}};
    for (const Row& row : cached) EXPECT_EQ(key(row.key), row.expected) << row.key;

    platform::write_file(dir_ + "/other.txt", "x");  // any change of a file: read again
    EXPECT_EQ(key("A"), "9");
    ASSERT_TRUE(platform::write_file(dir_ + "/quill.ini", "[S]\nA=7\n"));
    EXPECT_EQ(key("A"), "7");
    EXPECT_EQ(key("B"), "dflt");
  }
  rewrite_outside("[S]\nA=5\n");
  EXPECT_EQ(key("A"), "5") << "outside a scope every key reads the file";
  EXPECT_EQ(output(), "");
}

TEST_F(FastIniTest, MissingFileIsReportedAtEveryKeyOfAScope) {
  IniReadScope scope;
  EXPECT_EQ(key("A"), "dflt");
  EXPECT_EQ(key("B"), "dflt");
  std::string line = "***ERROR    Cannot open initialisation file '" + dir_ + "/quill.ini'.\n";
  EXPECT_EQ(output(), line + line);
  ASSERT_TRUE(platform::write_file(dir_ + "/quill.ini", "[S]\nA=1\n"));
  EXPECT_EQ(key("A"), "1");
}

TEST_F(FastIniTest, NestedScopesKeepTheFilesUntilTheLastEnds) {
  write("quill.ini", "[S]\nA=1\n");
  IniReadScope outer;
  {
    IniReadScope inner;
    EXPECT_EQ(key("A"), "1");
  }
  rewrite_outside("[S]\nA=2\n");
  EXPECT_EQ(key("A"), "1");
}

}  // namespace
}  // namespace quill
