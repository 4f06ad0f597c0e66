#include "project/project_archive.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(ProjectArchiveTest, WritesIntegersAndTextsLineByLine) {
  struct Row {
    std::string text;
    std::string expected;
  };
  const Row rows[] = {
      {"", "descLength=0 \r\n"},
      {"A shop", "descLength=6 \r\ndesc=A shop\r\n"},
      {"one\r\ntwo", "descLength=8 \r\ndesc=one\\ntwo\r\n"},
      // A bare line feed takes two characters in the file; the length line
      // counts what is written so that the reader gets all of it back.
      {"one\ntwo", "descLength=8 \r\ndesc=one\\ntwo\r\n"},
      {"a\rb", "descLength=2 \r\ndesc=ab\r\n"},
  };
  for (const Row& row : rows) {
    ProjectArchive archive = ProjectArchive::writer();
    archive.write_text(row.text, "desc");
    EXPECT_EQ(archive.text(), row.expected) << "text: " << row.text;
  }
  ProjectArchive archive = ProjectArchive::writer();
  archive.write_integer(-12, "nChildren");
  EXPECT_EQ(archive.text(), "nChildren=-12 \r\n");
}

TEST(ProjectArchiveTest, ReadsTextsAsWritten) {
  struct Row {
    std::string file;
    std::string expected;
  };
  const Row rows[] = {
      {"descLength=0 \r\n", ""},
      {"descLength=-3 \r\n", ""},
      {"descLength=5 \r\ndesc=a\\nbc\r\n", "a\\nbc"},  // backslash and n stay two characters
      {"descLength=3 \ndesc=a=b\n", "a=b"},
      {"descLength=2 \r\ndesc=abcdef\r\n", "ab"},
      // A length longer than its line never takes the next field's line.
      {"descLength=40 \r\ndesc=short\r\n", "short"},
  };
  for (const Row& row : rows) {
    ProjectArchive archive = ProjectArchive::reader(row.file + "outDirLength=0 \r\nx=7 \r\n");
    EXPECT_EQ(archive.read_text(), row.expected) << row.file;
    EXPECT_EQ(archive.read_text(), "") << row.file;
    EXPECT_EQ(archive.read_integer(), 7) << row.file;
    EXPECT_FALSE(archive.failed()) << row.file;
  }
}

TEST(ProjectArchiveTest, ReadsIntegersLeniently) {
  struct Row {
    std::string file;
    long long expected;
  };
  const Row rows[] = {
      {"k=42 ", 42}, {"k=-7\r\n", -7}, {"key = 5 ", 0}, {"k=12abc ", 12}, {"k=true ", 0},
      {"k=99999999999999999999999 ", 9223372036854775807LL},
  };
  for (const Row& row : rows) {
    ProjectArchive archive = ProjectArchive::reader(row.file);
    EXPECT_EQ(archive.read_integer(), row.expected) << row.file;
    EXPECT_FALSE(archive.failed()) << row.file;
  }
}

TEST(ProjectArchiveTest, RunningOutOfFieldsFailsInsteadOfWaiting) {
  for (std::string file : {"", "no equals sign at all", "descLength=4 \r\n"}) {
    ProjectArchive archive = ProjectArchive::reader(file);
    archive.read_integer();
    archive.read_text();
    EXPECT_TRUE(archive.failed()) << file;
    EXPECT_EQ(archive.read_integer(), 0) << file;
    EXPECT_EQ(archive.read_text(), "") << file;
  }
}

}  // namespace
}  // namespace quill
