#include "convert/gcode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/gcode_words.h"
#include "settings/text_file.h"
#include "tests/convert/conversion_fixture.h"

namespace vireo {
namespace {

using GcodeTest = test::ConversionTest;

Block feed_block(double f, bool rotary = false) {
  Block block;
  block.f = {true, f, false};
  if (rotary) block.a = {true, 90, false};
  return block;
}

TEST(GcodeWords, FeedLines) {
  const CodeSettings codes;  // maxv_gc F45, Step_giro_A 2800
  struct Case {
    double f;
    bool inch;
    bool rotary;
    const char* line;
  } cases[] = {
      {600, false, false, "F10"},   {59.9, false, false, "F99"}, {6.5, false, false, "F91"},
      {5, false, false, "F91"},     {0, false, false, "F91"},    {-600, false, false, "F91"},
      {3000, false, false, "F45"},  {100, true, false, "F42"},   {1.5, true, false, "F96"},
      {7715, false, true, "F10"},   {500, false, true, "F91"},   {1e300, false, false, "F45"},
      {3e6, false, true, "F45"},
  };
  for (const Case& c : cases) EXPECT_EQ(feed_line(feed_block(c.f, c.rotary), codes, c.inch), c.line) << c.f;
  // A highest code of 0 would write "F00": that is F91.
  EXPECT_EQ(feed_line(feed_block(600), {.max_feed = 0}, false), "F91");
}

TEST(GcodeWords, SpindleDwellAndRotaryCodes) {
  const CodeSettings codes;
  EXPECT_EQ(spindle_line(12000, codes), "S12");
  EXPECT_EQ(spindle_line(149, codes), "S02");
  EXPECT_EQ(spindle_line(-5, codes), "S01");
  EXPECT_EQ(dwell_line({true, 1.5, true}), "T01500");
  EXPECT_EQ(dwell_line({true, 250, false}), "T00250");
  EXPECT_EQ(dwell_line({true, 123.4567, true}), "T23456");
  EXPECT_EQ(rotary_steps(90, 2800), 700);
  EXPECT_EQ(rotary_steps(8426, 2800), 65535);        // Int(65535.55) is not above the limit
  EXPECT_EQ(rotary_steps(8427, 2800), 62743);        // one turn back
  EXPECT_EQ(rotary_steps(36090, 2800), 65100);       // 77 turns back, worked out at once
  // Angles no turn count can bring down in reach end all the same.
  for (double angle : {1e300, 1e20, 1e16}) {
    EXPECT_GE(rotary_steps(angle, 2800), 0) << angle;
    EXPECT_LE(rotary_steps(angle, 2800), 65535) << angle;
  }
  EXPECT_EQ(rotary_steps(-720, -2800), 5600);  // no turns are taken back against the steps
}

TEST_F(GcodeTest, LargeArcsAndFinePecksEndInBoundedTime) {
  // Radii of 1e6 mm and a peck step of 0 or of a hundredth over a deep hole.
  const std::string source =
      "G0 X0 Y0\nG2 X0 Y0 R1000000.\nG2 X1. Y0 R-1000000.\n"
      "G83 X1. Y1. Z-10. R1. Q0\nG83 X1. Y1. Z-9000. R1. Q0.01\n";
  for (const char* mode : {"0", "1"}) {
    set(Slot::ena3d_gc, mode);
    ASSERT_EQ(convert(source, sink::kFile, "t.nc"), ConversionOutcome::converted);
    EXPECT_EQ(context.conversion.read_cursor, source.size());
  }
  // The deep hole pecks in steps the fixed-width field can tell apart: at most 10^5 of them.
  const std::string program = dir.read("t.tpx");
  std::size_t pecks = 0;
  for (std::size_t at = program.find("F04Z"); at != std::string::npos; at = program.find("F04Z", at + 1)) ++pecks;
  EXPECT_LE(pecks, 100001u);
  EXPECT_GT(pecks, 1000u);
  // A radius of 1e9 mm reaches beyond the machine's 32-bit coordinates: an overflow ends the run.
  for (const std::string& arc : {std::string("G2 X0 Y0 R1000000000.\n"), std::string("G2 X0 Y0 I1000000000. J0\n"),
                                 "G1 X0 Y" + std::string(400, '9') + ".\n"}) {
    host.messages.clear();
    EXPECT_EQ(convert("G0 X0 Y0\n" + arc, sink::kFile, "t.nc"), ConversionOutcome::failed) << arc;
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("[converti:]Errore 6\rOverflow", 0), 0u) << host.messages[0];
  }
}

TEST_F(GcodeTest, AbortEndsTheProgramWithoutPassEnd) {
  std::string source;
  for (int i = 0; i < 200; ++i) source += "G1 X" + std::to_string(i) + ". Y1.\n";
  host.on_pump = [&] {
    if (host.pumps == 100) context.conversion.abort = true;
  };
  ASSERT_EQ(convert(source, sink::kFile, "t.nc"), ConversionOutcome::converted);
  const std::string program = dir.read("t.tpx");
  EXPECT_TRUE(program.ends_with("pcgo0")) << program;  // program_end's only: no pass end before it
  // The host processes its events once per block: the run stops after the hundredth.
  EXPECT_EQ(std::count(source.begin(), source.begin() + static_cast<long>(context.conversion.read_cursor), '\n'), 100);
}

TEST_F(GcodeTest, ThreeDArcRunsAtTheCurrentZAndFeedForThisRunOnly) {
  set(Slot::ena3d_gc, "1");
  set(Slot::gradi_gc, "90");
  ASSERT_EQ(convert("G1 X10. Y0 Z-1. F600\nG3 X0 Y10. I0 J0 F1200\n", sink::kTextView, "t.nc"),
            ConversionOutcome::converted);
  // The arc neither lifts nor plunges: both Z lines are the current Z, the rapid feed its F20.
  EXPECT_EQ(context.conversion.travel_z_line, "Z00600");
  EXPECT_EQ(context.conversion.cutting_z_line, "Z00600");
  EXPECT_NE(delivered().find("F45*|F20|X01000|*|Y00000*pc|F02*|F20|pb|X00000|Y01000*pc"), std::string::npos)
      << delivered();
  // The setting the operator keeps is given back when the run ends.
  EXPECT_EQ(context.settings.text(Slot::vel_rap), "F45");
}

// Every sample program converts to its end (or its M2/M30) in both modes, without a failure.
TEST_F(GcodeTest, SampleFilesConvertWithoutFailure) {
  const char* moved = std::getenv("VIREO_SAMPLES");  // where a checkout keeps them elsewhere
  const std::filesystem::path root = std::filesystem::path(moved ? moved : VIREO_SAMPLES);
  if (!std::filesystem::is_directory(root / "gcode")) GTEST_SKIP() << root << " has no gcode samples";
  int converted = 0;
  for (const char* format : {"gcode", "rml"}) {
    for (const auto& entry : std::filesystem::directory_iterator(root / format)) {
      const std::optional<std::string> text = read_whole_file(entry.path());
      ASSERT_TRUE(text) << entry.path();
      for (const char* mode : {"0", "1"}) {
        set(Slot::ena3d_gc, mode);
        host.file_types = {format == std::string("rml") ? ".rml" : ".gc"};
        host.file_type_questions = 0;
        context.conversion.output_path = dir.file("sample.tpx");
        document.set_text(*text);
        host.caption = entry.path().string();
        context.channel.sink = sink::kFile;
        EXPECT_EQ(convert_document(context), ConversionOutcome::converted) << entry.path();
        EXPECT_EQ(context.conversion.read_cursor, text->size()) << entry.path();
        EXPECT_TRUE(dir.read("sample.tpx").ends_with("go0")) << entry.path();
      }
      ++converted;
    }
  }
  EXPECT_GT(converted, 1);
}

}  // namespace
}  // namespace vireo
