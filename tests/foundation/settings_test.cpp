#include "foundation/settings.h"

#include <gtest/gtest.h>

#include "foundation/commands.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class SettingsTest : public testing::EngineTest {};

TEST_F(SettingsTest, StoresCopiesAndRemoves) {
  SettingsStore& s = settings();
  EXPECT_EQ(s.get("Never"), "");
  s.set("Name", "");
  EXPECT_EQ(s.get("Name"), "");
  {
    std::string value = "first";
    s.set("Name", value);
    value = "changed";
  }
  EXPECT_EQ(s.get("Name"), "first");
  EXPECT_EQ(s.get("name"), "");  // names are case-sensitive
  s.set("Name", "second");
  EXPECT_EQ(s.get("Name"), "second");
  s.remove("Name");
  EXPECT_EQ(s.get("Name"), "");
  s.set(std::string_view(), "x");  // no name: nothing happens
  EXPECT_EQ(s.get(""), "");
}

TEST_F(SettingsTest, ManyNamesShareChains) {
  SettingsStore& s = settings();
  for (int i = 0; i < 1000; ++i) s.set("k" + std::to_string(i), std::to_string(i * 7));
  for (int i = 0; i < 1000; i += 2) s.remove("k" + std::to_string(i));
  for (int i = 0; i < 1000; ++i) {
    EXPECT_EQ(s.get("k" + std::to_string(i)), i % 2 ? std::to_string(i * 7) : "") << i;
  }
}

TEST_F(SettingsTest, BooleansAreOnOnlyWhenExactlyTrue) {
  const char* values[] = {"true", "TRUE", "1", "", "true "};
  for (const char* v : values) {
    settings().set("Flag", v);
    EXPECT_EQ(settings().is_true("Flag"), std::string(v) == "true") << "'" << v << "'";
  }
}

int generate_calls = 0;
void count_generate() { ++generate_calls; }

TEST_F(SettingsTest, ProcessCmd) {
  generate_calls = 0;
  bind_command("GenerateCode", count_generate);
  struct Row {
    const char* command;
    std::vector<std::string> args;
    const char* expected_output;
    int calls;
  };
  const Row rows[] = {
      {"GenerateCode", {"A", "1", "A", "2"}, "", 1},
      {"GenerateCode", {"A"}, "***ERROR    Call made to process_cmd 'GenerateCode' with odd number of args\n", 0},
      {nullptr, {"A", "3"}, "", 0},
      {"", {"A", "4"}, "", 0},
      {"SetVar", {"A", "5"}, "", 0},
      {"generatecode", {}, "***ERROR    Command 'generatecode' not recognized - Ignored.\n", 0},
      {"END", {}, "***ERROR    Command 'END' not recognized - Ignored.\n", 0},
  };
  const char* expected_a[] = {"2", "2", "3", "4", "5", "5", "5"};
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    clear_output();
    generate_calls = 0;
    process_cmd(r.command, r.args);
    EXPECT_EQ(output(), r.expected_output) << "row " << i;
    EXPECT_EQ(generate_calls, r.calls) << "row " << i;
    EXPECT_EQ(settings().get("A"), expected_a[i]) << "row " << i;
  }
  bind_command("GenerateCode", nullptr);
  process_cmd("GenerateCode");
  EXPECT_EQ(generate_calls, 0);
}

}  // namespace
}  // namespace quill
