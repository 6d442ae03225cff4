// The drill converter where a single vireo-cli run cannot show it: several confirmations of one
// listing, the stop button, and the window controls. The program texts are golden cases
// (tests/golden/excellon).
#include "convert/excellon.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/convert/conversion_fixture.h"

namespace vireo {
namespace {

const std::string kBoard = "M48\nM72\nT01C0.0236\nT02C0.0354\n%\nT01\nX001000Y002000\nT02\nX003000Y004000\nM30\n";

struct ExcellonTest : test::ConversionTest {
  ExcellonTest() { set(Slot::atc_excellon, "single"); }

  ConversionOutcome confirm(const std::string& tool) {
    host.tool_list_choice = tool;
    recorded.lines.clear();
    return confirm_drill_tool(context);
  }
};

TEST_F(ExcellonTest, EachConfirmationWritesAWholeProgramAfreshWhereTheToolsWereListed) {
  struct Case {
    std::string_view sink;
    std::string first;   // the T01 program
    std::string second;  // then the T02 program
  };
  const Case cases[] = {
      {sink::kFile, "X01000*Y02000*F02Z01100*F04pbpcF45Z00800*go0go0", "X03000*Y04000*F02Z01100*F04pbpcF45Z00800*go0go0"},
      {sink::kTextView, "F45Z00000*S12X01000*Y02000*F02Z01100*F04pbpcF45Z00800*go0*S12go0Z00000*S00 ",
       // The rest Z and feed of the opening are current since the first program's end: only "*" is left.
       "*S12X03000*Y04000*F02Z01100*F04pbpcF45Z00800*go0*S12go0Z00000*S00 "},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(convert(kBoard, c.sink, "t.drl"), ConversionOutcome::converted);
    EXPECT_EQ(host.tool_list, (std::vector<std::string>{"T01", "T02", "T01", "T02"}));
    EXPECT_EQ(host.tool_list_choice, "T01");
    EXPECT_TRUE(recorded.lines.empty()) << "listing drills nothing";
    EXPECT_TRUE(host.job_controls[JobControl::tool_ok]);
    const long previews = host.previews;

    ASSERT_EQ(confirm("T01"), ConversionOutcome::converted);
    const std::string first = c.sink == sink::kFile ? dir.read("t.tpx") : host.output.content();
    EXPECT_EQ(first, c.first) << c.sink;
    EXPECT_FALSE(host.job_controls[JobControl::tool_ok]);
    ASSERT_EQ(confirm("T02"), ConversionOutcome::converted);
    const std::string second = c.sink == sink::kFile ? dir.read("t.tpx") : host.output.content();
    EXPECT_EQ(second, c.second) << c.sink;
    // Only a program file has a preview, rebuilt after each confirmation.
    EXPECT_EQ(host.previews - previews, c.sink == sink::kFile ? 2 : 0) << c.sink;
  }
}

TEST_F(ExcellonTest, StopEndsTheProgramWithoutPassEndAndOffersTheToolsAgain) {
  std::string source = "M72\nT01\n";
  for (int i = 0; i < 100; ++i) source += "X" + std::to_string(100 + i) + "Y100\n";
  ASSERT_EQ(convert(source, sink::kFile, "t.drl"), ConversionOutcome::converted);
  host.on_pump = [&] {
    if (host.pumps == 200) context.conversion.abort = true;
  };
  ASSERT_EQ(confirm("T01"), ConversionOutcome::converted);
  const std::string program = dir.read("t.tpx");
  EXPECT_TRUE(program.ends_with("F45Z00800*go0")) << program;  // program_end's go0 only
  EXPECT_LT(context.conversion.read_cursor, source.size());
  EXPECT_TRUE(host.job_controls[JobControl::tool_ok]);
  EXPECT_TRUE(host.job_controls[JobControl::cancel_button]);
  EXPECT_FALSE(context.conversion.abort) << "the confirmation clears the stop for the next one";
}

TEST_F(ExcellonTest, ToolChangerConvertsAtOnceAndLeavesNothingToConfirm) {
  ASSERT_EQ(convert(kBoard, sink::kFile, "t.drl"), ConversionOutcome::converted);
  set(Slot::atc_excellon, "TC");
  ASSERT_EQ(convert(kBoard, sink::kFile, "t.drl"), ConversionOutcome::converted);
  EXPECT_TRUE(host.tool_list.empty());
  EXPECT_EQ(host.previews, 1);
  EXPECT_EQ(context.channel.line_counter, 2);
  // The stop button offers the confirmation of a drill file again; after the changer's program it does nothing.
  const std::string program = dir.read("t.tpx");
  EXPECT_EQ(confirm(""), ConversionOutcome::cancelled);
  EXPECT_EQ(dir.read("t.tpx"), program);
}

TEST_F(ExcellonTest, TruncatedAndHugeInputsEndCleanly) {
  set(Slot::atc_excellon, "TC");
  for (const std::string text : {"", "M", "M7", "M72", "T", "T0", "M72\nT01\nX", "M72\nT01\nX1Y", "T01\r\nX1\r\nY"}) {
    ASSERT_EQ(convert(text, sink::kFile, "t.drl"), ConversionOutcome::converted) << text;
    EXPECT_EQ(context.conversion.read_cursor, text.size()) << text;
  }
  // A coordinate beyond the machine's 32 bits ends the conversion as an overflow; what was written stays.
  EXPECT_EQ(convert("M72\nT01\nX1Y1\nX" + std::string(40, '9') + "\n", sink::kFile, "t.drl"), ConversionOutcome::failed);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_TRUE(host.messages.back().starts_with("[converti:]Errore 6\rOverflow")) << host.messages.back();
  EXPECT_TRUE(dir.read("t.tpx").starts_with("X00001*Y00001*"));
}

}  // namespace
}  // namespace vireo
