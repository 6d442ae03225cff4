#include "convert/emitters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/run_time.h"
#include "tests/convert/conversion_fixture.h"

namespace vireo {
namespace {

TEST(RunTime, HoursMinutesSecondsTwoDigitsEach) {
  EXPECT_EQ(run_time_text(0), "00:00:00");
  EXPECT_EQ(run_time_text(59), "00:00:59");
  EXPECT_EQ(run_time_text(3725), "01:02:05");
  EXPECT_EQ(run_time_text(100 * 3600 + 61), "00:01:01");  // the hours keep their last two digits
}

using FramingTest = test::ConversionTest;

TEST_F(FramingTest, OpeningAndClosingPerSink) {
  struct Case {
    const char* name;
    std::string_view sink;
    const char* plc;
    const char* spindle;
    std::string lines;  // delivered by program_start and program_end, "|" between lines
  };
  const std::vector<Case> cases = {
      {"program file: no opening, no return lines", sink::kFile, "O1", "O2", "go0"},
      {"output view: never the outputs line", sink::kTextView, "O1", "O2", "F45Z00000*|S12|go0|*|S00 "},
      {"machine with both addresses", sink::kMachine, "O1", "O2",
       "O1Od000011000000000000000000O2|F45Z00000*|S12|go0|O1Od000000000000000000000000O2|*|S00 "},
      {"machine, plc not used", sink::kMachine, "nu", "O2", "F45Z00000*|S12|go0|*|S00 "},
      {"machine, spindle not used", sink::kMachine, "O1", "nu", "F45Z00000*|S12|go0|*|S00 "},
      {"no sink: only the end of the work", "", "O1", "O2", "go0"},
  };
  for (const Case& c : cases) {
    set(Slot::indplc, c.plc);
    set(Slot::indfresa, c.spindle);
    recorded.lines.clear();
    context.display = DisplayState{};
    context.display.force_z = context.display.force_f = true;
    context.channel.sink = c.sink;
    context.channel.output_started = false;
    context.channel.program_file_name = dir.file("framing.tpx");
    program_start(context);
    program_end(context);
    EXPECT_EQ(delivered(), c.lines) << c.name;
  }
}

TEST_F(FramingTest, StartAndEndShowTheTimesAndLockTheDocumentForTheRun) {
  context.channel.sink = sink::kTextView;
  program_start(context);
  EXPECT_EQ(host.panels[7], "");
  EXPECT_EQ(host.panels[6].size(), 8u);
  EXPECT_FALSE(host.job_controls[JobControl::text_view]);
  program_end(context);
  EXPECT_TRUE(host.job_controls[JobControl::text_view]);
  EXPECT_EQ(host.panels[7], "00:00:00");
  EXPECT_EQ(context.channel.sink, "");  // no sink until the next command sets one
}

TEST_F(FramingTest, AProgramFileRunShowsProgressOnlyInPanelFour) {
  context.channel.sink = sink::kFile;
  context.channel.program_file_name = dir.file("p.tpx");
  program_start(context);
  EXPECT_EQ(host.panels[4], "conversion in progress...");
  program_end(context);
  EXPECT_EQ(host.panels[4], "");
  EXPECT_EQ(context.channel.sink, sink::kFile);  // the driver opens the preview of this file next
  EXPECT_EQ(dir.read("p.tpx"), "go0");
}

TEST_F(FramingTest, PassEndFlushesTheLineBufferAndClosesAPulse) {
  context.channel.sink = sink::kTextView;
  context.conversion.travel_z_line = "Z00800";
  context.display.pulse_state = "pb";
  context.channel.line = "X00100";
  pass_end(context);
  EXPECT_EQ(delivered(), "X00100*|go0|pc|F45Z00800*|S12");
}

TEST_F(FramingTest, EndPutsALoadedToolAway) {
  context.channel.sink = sink::kTextView;
  context.tools.loaded = 3;
  context.tools.requested = 5;
  program_end(context);
  EXPECT_EQ(context.tools.requested, 0);

  context.channel.sink = sink::kTextView;
  context.tools.loaded = 0;
  context.tools.requested = 5;
  program_end(context);
  EXPECT_EQ(context.tools.requested, 5);
}

// Repeated passes: a Gerber draw is cut once per pass, each pass one increment deeper.
struct PassTest : test::ConversionTest {
  const std::string source = "X100Y100D02*X200Y100D01*\r\n";

  // The delivered lines that move Z: rest, lifts and plunges.
  std::vector<std::string> z_moves() const {
    std::vector<std::string> found;
    for (const std::string& line : recorded.lines)
      if (line.find('Z') != std::string::npos) found.push_back(line);
    return found;
  }
};

TEST_F(PassTest, PassesGoDeeperAndTheDepthIsRestored) {
  set(Slot::ena_passate, "1");
  set(Slot::numero_passate, "2");
  ASSERT_EQ(convert(source, sink::kTextView), ConversionOutcome::converted);
  EXPECT_EQ(z_moves(), (std::vector<std::string>{"F45Z00000*", "Z00800*", "F02Z01100*", "F45Z00800*",
                                                 "F02Z01200*", "F45Z00800*", "F02Z01300*", "F45Z00800*",
                                                 "Z00000*"}));
  EXPECT_EQ(context.channel.tool_text, "PASSATA N. 2");
  EXPECT_EQ(context.conversion.cutting_z_line, "Z01100");

  // A second conversion starts again at pass 0 and the configured depth.
  const std::vector<std::string> first = recorded.lines;
  ASSERT_EQ(convert(source, sink::kTextView), ConversionOutcome::converted);
  EXPECT_EQ(recorded.lines, first);
}

TEST_F(PassTest, NoRepeatedPassesWithZeroPassesOrIntoAProgramFile) {
  set(Slot::ena_passate, "1");
  set(Slot::numero_passate, "0");
  ASSERT_EQ(convert(source, sink::kTextView), ConversionOutcome::converted);
  EXPECT_EQ(z_moves(),
            (std::vector<std::string>{"F45Z00000*", "Z00800*", "F02Z01100*", "F45Z00800*", "Z00000*"}));
  EXPECT_EQ(context.conversion.cutting_z_line, "Z01100");

  set(Slot::numero_passate, "3");
  ASSERT_EQ(convert(source, sink::kFile), ConversionOutcome::converted);
  EXPECT_EQ(dir.read("t.tpx"), "F45Z00800*X00100*Y00100*F02Z01100*F04pbX00200Y00100*pcgo0go0");
}

TEST_F(PassTest, SurfaceFollowingTailDoesNotChangeTheDepth) {
  // "Z01100go1": the depth is the number after "Z"; the deeper pass drops the tail.
  set(Slot::check_includi, "1");
  set(Slot::check_inseg, "1");
  set(Slot::ena_passate, "1");
  set(Slot::numero_passate, "1");
  ASSERT_EQ(convert(source, sink::kTextView), ConversionOutcome::converted);
  EXPECT_EQ(z_moves(), (std::vector<std::string>{"F45Z00000*", "Z00800go0*", "F02Z01100go1*", "F45Z00800go0*",
                                                 "F02Z01200*", "F45Z00800go0*", "Z00000*"}));
  EXPECT_EQ(context.conversion.cutting_z_line, "Z01100go1");
}

}  // namespace
}  // namespace vireo
