#include "foundation/ini_reader.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace quill {
namespace {

class IniReaderTest : public testing::EngineTest {};

TEST_F(IniReaderTest, ReadsKeysOfTheFirstMatchingSection) {
  write("quill.ini",
        "[Other]\r\nShowFileNames=other\r\n"
        "[LastCodegenSettings] trailing text\r\n"
        " LanguageTarget=indented\r\n"
        "ShowFileNames = spaced\r\n"
        "ShowFileNames=true\r\n"
        "ShowFileNames=second\r\n"
        "Empty=\r\n"
        "Spaces= a b \r\n"
        "[Later]\r\n"
        "Late=x\r\n"
        "[LastCodegenSettings]\r\n"
        "Again=no\r\n");
  struct Row {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Row rows[] = {
      {"LastCodegenSettings", "ShowFileNames", "true"},
      {"LastCodegenSettings", "Empty", ""},
      {"LastCodegenSettings", "Spaces", " a b "},
      {"LastCodegenSettings", "LanguageTarget", "dflt"},
      {"LastCodegenSettings", "Late", "dflt"},
      {"LastCodegenSettings", "Again", "dflt"},
      {"lastcodegensettings", "ShowFileNames", "dflt"},
      {"Other", "ShowFileNames", "other"},
      {"Missing", "ShowFileNames", "dflt"},
      {"", "ShowFileNames", "dflt"},
      {"Other", "", "dflt"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ini_read(dir_, "quill.ini", r.section, r.key, "dflt"), r.expected) << r.section << "/" << r.key;
  }
  EXPECT_EQ(output(), "");
}

TEST_F(IniReaderTest, UnreadableFileIsReportedPerKey) {
  EXPECT_EQ(ini_read(dir_, "none.ini", "S", "K", "d"), "d");
  EXPECT_EQ(ini_read(dir_, "none.ini", "S", "L", "e"), "e");
  std::string line = "***ERROR    Cannot open initialisation file '" + dir_ + "/none.ini'.\n";
  EXPECT_EQ(output(), line + line);
  clear_output();
  EXPECT_EQ(ini_read("", "none.ini", "S", "K", "d"), "d");
  EXPECT_EQ(output(), "");
}

}  // namespace
}  // namespace quill
