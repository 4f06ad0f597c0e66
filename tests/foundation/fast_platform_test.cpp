// The write buffer, the one-query file kinds and the change count that
// cached readers rely on.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "foundation/platform.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class FastPlatformTest : public testing::EngineTest {};

TEST_F(FastPlatformTest, WritesAroundTheBufferBoundaryKeepEveryByte) {
  const size_t kBlock = 1 << 16;  // the writer's buffer size
  struct Row {
    const char* name;
    std::vector<size_t> sizes;
  } rows[] = {
      {"small pieces", {1, 2, 3, 0, 5}},
      {"exactly one buffer", {kBlock}},
      {"fills then spills", {kBlock - 1, 2, kBlock - 1}},
      {"larger than a buffer after text", {10, kBlock + 7, 3}},
      {"many lines", std::vector<size_t>(5000, 41)},
  };
  for (const Row& row : rows) {
    std::string path = dir_ + "/w.txt", expected;
    platform::FileWriter writer;
    ASSERT_TRUE(writer.open(path)) << row.name;
    char fill = 'a';
    for (size_t size : row.sizes) {
      std::string piece(size, fill);
      fill = fill == 'z' ? 'a' : static_cast<char>(fill + 1);
      expected += piece;
      EXPECT_TRUE(writer.write(piece)) << row.name;
    }
    EXPECT_TRUE(writer.close()) << row.name;
    EXPECT_TRUE(read(path) == expected) << row.name;
  }
}

TEST_F(FastPlatformTest, ReopenedWriterStartsEmpty) {
  platform::FileWriter writer;
  ASSERT_TRUE(writer.open(dir_ + "/a.txt"));
  EXPECT_TRUE(writer.write("first"));
  ASSERT_TRUE(writer.open(dir_ + "/b.txt"));  // closes a.txt with its text
  EXPECT_TRUE(writer.write("second"));
  EXPECT_TRUE(writer.close());
  EXPECT_EQ(read(dir_ + "/a.txt"), "first");
  EXPECT_EQ(read(dir_ + "/b.txt"), "second");
}

TEST_F(FastPlatformTest, FileKindNeedsOneQuery) {
  write("f.txt", "x");
  ASSERT_EQ(::symlink((dir_ + "/none").c_str(), (dir_ + "/dangling").c_str()), 0);
  ASSERT_EQ(::symlink((dir_ + "/f.txt").c_str(), (dir_ + "/link").c_str()), 0);
  struct Row {
    std::string path;
    platform::FileKind expected;
  } rows[] = {
      {dir_ + "/f.txt", platform::FileKind::regular},
      {dir_ + "\\f.txt", platform::FileKind::regular},
      {dir_ + "/link", platform::FileKind::regular},
      {dir_, platform::FileKind::directory},
      {"/dev/null", platform::FileKind::other},
      {dir_ + "/none", platform::FileKind::missing},
      {dir_ + "/dangling", platform::FileKind::missing},
      {dir_ + "/f.txt/below", platform::FileKind::missing},
      {"", platform::FileKind::missing},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(platform::file_kind(row.path), row.expected) << row.path;
    EXPECT_EQ(platform::file_status(row.path).kind, row.expected) << row.path;
  }
  // The status also tells a link, and gives the named file's permissions.
  ::chmod((dir_ + "/f.txt").c_str(), 0640);
  const platform::FileStatus through_link = platform::file_status(dir_ + "/link");
  EXPECT_TRUE(through_link.link);
  EXPECT_EQ(through_link.mode, 0640u);
  EXPECT_EQ(through_link.owner, ::geteuid());
  EXPECT_FALSE(platform::file_status(dir_ + "/f.txt").link);
  EXPECT_TRUE(platform::file_status(dir_ + "/dangling").link);
}

// Whether a file may be written is the answer opening it would give, for
// root (who may write any file) as for anyone else.
TEST_F(FastPlatformTest, MayWriteFileAnswersAsOpeningWould) {
  const std::string open_file = write("open.txt", "x"), locked = write("locked.txt", "x");
  ::chmod(open_file.c_str(), 0666);
  ::chmod(locked.c_str(), 0444);
  ::chmod(dir_.c_str(), 0755);
  auto opens = [](const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
    return fd >= 0 && ::close(fd) == 0;
  };
  EXPECT_EQ(platform::may_write_file(locked), opens(locked));
  EXPECT_TRUE(platform::may_write_file(open_file));
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        const bool ok = platform::may_write_file(open_file) && !platform::may_write_file(locked) &&
                        !opens(locked) && !platform::may_write_file(dir_ + "/none");
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(FastPlatformTest, EveryChangeOfAFileIsCounted) {
  std::string a = dir_ + "/a", b = dir_ + "/b";
  struct Row {
    const char* name;
    bool (*change)(const std::string& a, const std::string& b);
  } rows[] = {
      {"write", [](const std::string& a, const std::string&) { return platform::write_file(a, "1"); }},
      {"append", [](const std::string& a, const std::string&) { return platform::append_file(a, "2"); }},
      {"rename", [](const std::string& a, const std::string& b) { return platform::rename_file(a, b); }},
      {"remove", [](const std::string&, const std::string& b) { return platform::remove_file(b); }},
      {"writer", [](const std::string& a, const std::string&) {
         platform::FileWriter w;
         return w.open(a) && w.close();
       }},
  };
  for (const Row& row : rows) {
    std::uint64_t before = platform::change_count();
    EXPECT_TRUE(row.change(a, b)) << row.name;
    EXPECT_GT(platform::change_count(), before) << row.name;
  }
  std::uint64_t before = platform::change_count();
  std::string content;
  EXPECT_TRUE(platform::read_file(a, content));
  EXPECT_EQ(platform::file_kind(a), platform::FileKind::regular);
  EXPECT_EQ(platform::change_count(), before) << "reading changes nothing";
}

}  // namespace
}  // namespace quill
