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

TEST(SimController, StatusDumpAndTheEeromBuffer) {
  Controller controller(false, {}, {.x = 100});
  std::string replies;
  const auto commands = feed(controller, "F04$(X00200*xu)()$?$)()", &replies);
  EXPECT_EQ(commands, (std::vector<std::string>{"F04$", "(", ")()", "$", "?", "$", ")()"}));
  EXPECT_EQ(replies, "KORA-SIM X=100 Y=0 Z=0 F=4 S=0 PROBE=0 EEROM=0\r\n"
                     "KORA-SIM X=100 Y=0 Z=0 F=4 S=0 PROBE=0 EEROM=9\r\n"    // stored, not carried out
                     "KORA-SIM X=201 Y=0 Z=0 F=4 S=0 PROBE=0 EEROM=9\r\n");  // "?" ran it
  EXPECT_FALSE(controller.storing());  // a ")()" with nothing stored starts nothing
}

// Probing moves from a start position against a workpiece: where each move ends.
TEST(SimController, ArmedMovesStopAtTheWorkpiece) {
  struct Case {
    const char* name;
    Workpiece workpiece;
    MachineState start;
    const char* stream;
    MachineState expected;
  };
  const Workpiece cavity{Workpiece::Kind::cavity, 8000, 12000, 7000, 13000, 0};
  const Workpiece island{Workpiece::Kind::island, 3000, 7000, 4000, 6000, 500};
  const Case cases[] = {
      {"cavity, towards -X", cavity, {.x = 10000, .y = 10000}, "gh1X06000*", {.x = 8000, .y = 10000}},
      {"cavity, back off free then +X", cavity, {.x = 8000, .y = 10000}, "gh0X08100*gh1X12100*", {.x = 12000, .y = 10000}},
      {"cavity, a free move passes the wall", cavity, {.x = 10000, .y = 10000}, "gh0X06000*", {.x = 6000, .y = 10000}},
      {"cavity, Y walls", cavity, {.x = 10000, .y = 10000}, "gh1Y05000*", {.x = 10000, .y = 7000}},
      {"cavity, short of the wall", cavity, {.x = 10000, .y = 10000}, "gh1X09000*", {.x = 9000, .y = 10000}},
      {"island, above it nothing is touched", island, {.x = 5000, .y = 5000}, "gh1X00400*", {.x = 400, .y = 5000}},
      {"island, down beside it then towards it", island, {.x = 400, .y = 5000}, "gh1Z01000*gh1X05000*",
       {.x = 3000, .y = 5000, .z = 1000}},
      {"island, from the right", island, {.x = 7600, .y = 5000, .z = 1000}, "gh1X03000*", {.x = 7000, .y = 5000, .z = 1000}},
      {"island, down onto its top", island, {.x = 5000, .y = 5000}, "gh1Z01000*", {.x = 5000, .y = 5000, .z = 500}},
      {"island, beside it in Y", island, {.x = 5000, .y = 5000, .z = 1000}, "gh1Y09000*", {.x = 5000, .y = 9000, .z = 1000}},
      {"the probe is disarmed by the end of the run", cavity, {.x = 10000, .y = 10000}, "gh1ga0 gh0X06000*",
       {.x = 6000, .y = 10000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Controller controller(false, c.workpiece, c.start);
    feed(controller, c.stream);
    EXPECT_EQ(controller.state(), c.expected);
  }
}

TEST(SimController, AProbingRunsReadIsAnsweredAtItsGa) {
  Controller controller(false, {}, {.x = 500, .y = 100, .feed = 4});
  std::string replies;
  EXPECT_EQ(feed(controller, "gbfufdga", &replies), (std::vector<std::string>{"gbfufdga"}));
  EXPECT_EQ(replies, std::string("\x01\xF4\x00\x64\x00\x00\x00\x00\x00\x00\x00\x00\x04\x00", 14));
  replies.clear();
  feed(controller, "ga0 gh0", &replies);  // without "gb" no answer
  EXPECT_TRUE(replies.empty());
}

TEST(SimController, WorkpieceAndStartOptions) {
  using K = Workpiece::Kind;
  EXPECT_EQ(parse_workpiece(K::cavity, "8000,12000,7000,13000")->x_max, 12000);
  EXPECT_EQ(parse_workpiece(K::island, "1,2,3,4,5")->z_top, 5);
  for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "a,2,3,4", "2,1,3,4", "1,2,3,4,"})
    EXPECT_FALSE(parse_workpiece(K::cavity, bad)) << bad;
  EXPECT_FALSE(parse_workpiece(K::island, "1,2,3,4"));
  EXPECT_EQ(parse_start("10000,-5,0")->y, -5);
  EXPECT_FALSE(parse_start("1,2"));
}

}  // namespace
}  // namespace vireo::sim
