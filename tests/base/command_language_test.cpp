#include "base/command_language.h"

#include <gtest/gtest.h>

namespace vireo::cmd {
namespace {

TEST(CutCommands, CutsAtTheTerminatorAndDropsLineEnds) {
  struct Case {
    const char* name;
    std::string program;
    std::vector<std::string> commands;
  } cases[] = {
      {"two moves", "X01000*Y02000*", {"X01000*", "Y02000*"}},
      {"line ends dropped", "X01000*\r\nY02\r\n000*\r\n", {"X01000*", "Y02000*"}},
      {"feed travels with its move", "F45Z00800*go0", {"F45Z00800*", "go0*"}},
      {"final piece completed", "X1*Y2", {"X1*", "Y2*"}},
      {"only line ends", "\r\n\r\n", {}},
      {"empty", "", {}},
      {"bare CR breaks of a program file", "X01234*Y00567*\rX00001*", {"X01234*", "Y00567*", "X00001*"}},
  };
  for (const Case& c : cases) EXPECT_EQ(cut_commands(c.program), c.commands) << c.name;
}

}  // namespace
}  // namespace vireo::cmd
