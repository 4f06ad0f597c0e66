#include "batch/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

// "a b | name=value name=value": positionals, then options in order.
std::string dump(const CommandLine& line) {
  std::string text;
  for (const std::string& p : line.positionals()) text += (text.empty() ? "" : " ") + p;
  text += " |";
  for (const CommandLine::Option& o : line.options()) text += " " + o.name + "=" + o.value;
  return text;
}

TEST(CommandLineTest, SplitsPositionalsAndOptions) {
  struct Row {
    std::vector<std::string> args;
    std::string expected;
  } rows[] = {
      {{}, " |"},
      {{"m.dsm", "t.tem", "out"}, "m.dsm t.tem out |"},
      {{"/showfiles", "false", "m.dsm", "t.tem"}, "m.dsm t.tem | showfiles=false"},
      {{"m.dsm", "/showfiles", "t.tem"}, "m.dsm | showfiles=t.tem"},
      {{"m.dsm", "t.tem", "/showfiles"}, "m.dsm t.tem | showfiles=true"},
      {{"/lang", "/ver"}, " | lang=true ver=true"},
      {{"--lang", "-help", "x"}, " | lang=true help=x"},
      {{"--version"}, " | version=true"},
      {{"-", "/", ""}, "- /  |"},
      {{"/work/m.dsm", "/dsmpath", "/opt/models"}, "/work/m.dsm | dsmpath=/opt/models"},
      {{"/tmp", "/bakext", "-"}, "/tmp | bakext=-"},
      {{"/setvar", "who me", "/setvar", "when now"}, " | setvar=who me setvar=when now"},
  };
  for (const Row& row : rows) {
    std::string args;
    for (const std::string& a : row.args) args += "[" + a + "]";
    EXPECT_EQ(dump(CommandLine(row.args)), row.expected) << args;
  }
}

TEST(CommandLineTest, FindsOptionsByPrefixAndOccurrence) {
  CommandLine line({"/showfilesX", "no", "/verbose", "/VER", "/lang", "ada", "/lang", "c++",
                    "/setvar", "a 1", "/setvar", "b 2"});
  struct Row {
    const char* name;
    size_t n;
    const char* expected;  // null: not found
  } rows[] = {
      {"showfiles", 1, "no"}, {"ver", 1, "true"},    {"verbose", 1, "true"},
      {"verbosely", 1, nullptr}, {"lang", 1, "ada"}, {"lang", 2, "c++"},
      {"setvar", 1, "a 1"},   {"setvar", 2, "b 2"}, {"setvar", 3, nullptr},
      {"setvar", 0, nullptr}, {"help", 1, nullptr}, {"s", 2, "a 1"},
  };
  for (const Row& row : rows) {
    const std::string* value = line.option(row.name, row.n);
    EXPECT_EQ(value ? *value : "<none>", row.expected ? row.expected : "<none>")
        << row.name << " #" << row.n;
  }
}

}  // namespace
}  // namespace quill
