// Position variables of the iterators while the loop body changes the scope
// that holds them: every entry must see its own positions, however the
// previous entry left that scope.
#include <gtest/gtest.h>

#include <string>

#include "template/directives.h"
#include "tests/template/model_run_test.h"

namespace quill {
namespace {

constexpr const char* kModel = R"(
object A
  a : int ;
  b : int ;
  c : int ;
  d : int ;
end ;
)";

class IteratorPositionsTest : public testing::ModelRunTest {
 protected:
  IteratorPositionsTest() : ModelRunTest(kModel) {}
  void SetUp() override {
    ModelRunTest::SetUp();
    reset_directive_warnings();
    install_directive_processor();
  }
};

TEST_F(IteratorPositionsTest, EveryEntrySeesItsOwnPositions) {
  const std::string line = ":<attr.name> <attr.is_1st> <attr.is_nth> <attr.is_only> <attr.l_pos>\n";
  const std::string plain = "a true false false 0\nb false false false 1\n"
                            "c false false false 2\nd false true false 3\n";
  struct Row {
    const char* what;
    std::string body;  // runs after the line is written
    std::string expected;
  } rows[] = {
      {"untouched", "", plain},
      {"position overwritten", ":$$SETVAR attr.is_nth maybe\n:$$SETVAR attr.l_pos 9\n", plain},
      {"position cleared", ":$$CLEARVAR attr.is_1st\n:$$CLEARVAR attr.l_pos\n", plain},
      {"variable added beside them", ":$$SETVAR extra <attr.name>\n", plain},
      {"added, then a position cleared",
       ":$$SETVAR extra x\n:$$CLEARVAR attr.is_only\n:$$SETVAR later y\n", plain},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(run(".each_object\n.each_attribute\n" + line + row.body + ".end\n.end\n"),
              row.expected);
  }
}

// A variable the body sets beside the positions stays for the next entries
// of the same loop, and the positions keep counting.
TEST_F(IteratorPositionsTest, BodyVariablesOutliveTheEntryThatSetThem) {
  EXPECT_EQ(run(".each_object\n.each_attribute\n:<attr.l_pos> <seen>\n:$$SETVAR seen <attr.name>\n"
                ".end\n.end\n"),
            "0 <seen>\n1 a\n2 b\n3 c\n");
}

// A loop run again (here once per entry of an outer loop) starts afresh:
// nothing its previous run set or cleared beside the positions is seen.
TEST_F(IteratorPositionsTest, EveryRunOfALoopStartsAfresh) {
  const std::string inner_line = ":<attr.l_pos> <attr.is_1st> <seen>\n";
  struct Row {
    const char* what;
    std::string body;
    std::string one_run;  // what each run of the inner loop writes
  } rows[] = {
      {"untouched", "", "0 true <seen>\n1 false <seen>\n2 false <seen>\n3 false <seen>\n"},
      {"variable added beside the positions", ":$$SETVAR seen <attr.name>\n",
       "0 true <seen>\n1 false a\n2 false b\n3 false c\n"},
      {"position cleared", ":$$CLEARVAR attr.is_1st\n",
       "0 true <seen>\n1 false <seen>\n2 false <seen>\n3 false <seen>\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string expected;
    for (int i = 0; i < 4; ++i) expected += row.one_run;
    EXPECT_EQ(run(".each_object\n.each_attribute outer\n.each_attribute\n" + inner_line + row.body +
                  ".end\n.end\n.end\n"),
              expected);
  }
}

}  // namespace
}  // namespace quill
