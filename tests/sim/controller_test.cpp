#include "sim/controller.h"

#include <gtest/gtest.h>

namespace vireo::sim {
namespace {

std::vector<std::string> feed(Controller& controller, std::string_view stream, std::string* replies = nullptr) {
  std::vector<std::string> commands;
  for (char c : stream) {
    if (!controller.receive(c)) continue;
    commands.push_back(controller.command());
    if (replies) *replies += controller.reply();
  }
  return commands;
}

TEST(SimController, CutsTheStreamAtTerminatorsAndAtThePositionRequest) {
  Controller controller(false);
  std::string replies;
  const auto commands = feed(controller, "F45Z00800*\r\nX01000Y02000*ga1 ge ga0F04S12X00005", &replies);
  EXPECT_EQ(commands, (std::vector<std::string>{"F45Z00800*", "X01000Y02000*", "ga1 ge ga0"}));
  EXPECT_EQ(controller.unfinished(), "F04S12X00005");
  EXPECT_EQ(replies.size(), 14u);
}

struct StateCase {
  const char* name;
  const char* stream;
  MachineState expected;
};

TEST(SimController, KeepsPositionFeedAndSpindle) {
  const StateCase cases[] = {
      {"absolute moves", "X01000Y02000*Z00800*", {.x = 1000, .y = 2000, .z = 800}},
      {"axis values wait for the terminator", "X01000*Y02000", {.x = 1000}},
      {"codes take effect at once", "F45S12", {.feed = 45, .spindle = 12}},
      {"spindle stop with its blank", "F45S12*P1 S00 F45", {.feed = 45}},
      {"six digits", "X001234Y000567*", {.x = 1234, .y = 567}},
      {"a minus inside the zeros", "X0-200*", {.x = -200}},
      {"positioning moves", "RX01234*RZ00500*", {.x = 1234, .z = 500}},
      {"rotary axes", "A01400B00010C00020*", {.a = 1400, .b = 10, .c = 20}},
      {"home and origin", "X01000Y02000Z00300*cxry", {.z = 300}},
      {"single steps", "X00010*xdxdyuzd", {.x = 8, .y = 1, .z = -1}},
      {"feed and spindle steps wrap", "fdsufu", {.feed = 0, .spindle = 1}},
      {"parameter string changes nothing", "lx50000ly54000lz08100mx00200nz00025px04ps10pf45pl01", {}},
      {"waits and outputs change nothing", " T01000 O0Od000011000000000000000000O1go1", {}},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    Controller controller(false);
    feed(controller, std::string(c.stream) + "ga1 ge ga0");
    EXPECT_EQ(controller.state(), c.expected);
  }
}

TEST(SimController, PositionFramesInBothWidths) {
  MachineState s{.x = 500, .y = 100, .z = 0, .a = 0, .b = 0, .c = 0, .feed = 4, .spindle = 12};
  EXPECT_EQ(position_frame(s, false), std::string("\x01\xF4\x00\x64\x00\x00\x00\x00\x00\x00\x00\x00\x04\x0C", 14));
  s = {.x = 70000, .y = -5, .z = 0x01020304, .a = 1, .b = 2, .c = 3, .feed = 99, .spindle = 0};
  EXPECT_EQ(position_frame(s, true), std::string("\x00\x01\x11\x70"
                                                 "\x00\x00\x00\x00"
                                                 "\x01\x02\x03\x04"
                                                 "\x00\x00\x00\x01"
                                                 "\x00\x00\x00\x02"
                                                 "\x00\x00\x00\x03"
                                                 "\x63\x00",
                                                 26));
  // 16-bit fields hold their ends.
  EXPECT_EQ(position_frame(s, false).substr(0, 4), std::string("\xFF\xFF\x00\x00", 4));
}

TEST(SimController, AnswersWithTheStateAfterTheRequest) {
  Controller controller(true);
  std::string replies;
  feed(controller, "X01000*ga1 ge ga0", &replies);
  ASSERT_EQ(replies.size(), 26u);
  EXPECT_EQ(replies.substr(0, 4), std::string("\x00\x00\x03\xE8", 4));
}

}  // namespace
}  // namespace vireo::sim
