#include "convert/gerber.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/text_file.h"
#include "tests/convert/conversion_fixture.h"

namespace vireo {
namespace {

using GerberTest = test::ConversionTest;

const std::string kWorkedExample = "D10*\nX100Y200D02*\nX300Y200D01*\nX300Y400D01*\nX500Y500D03*\nM02*\n";

TEST_F(GerberTest, CountsCutsAndShowsTheOperation) {
  std::vector<std::string> operations;
  host.on_panel = [&](int panel, std::string_view text) {
    if (panel == 3 && (operations.empty() || operations.back() != text)) operations.emplace_back(text);
  };
  ASSERT_EQ(convert(kWorkedExample, sink::kTextView), ConversionOutcome::converted);
  // The plunge and two draws of the D01 blocks, and the hole of the flash.
  EXPECT_EQ(context.channel.line_counter, 4);
  EXPECT_EQ(operations, (std::vector<std::string>{"", "          ", "FRESATURA ", "          ", "  FORO    ",
                                                  "          "}));
}

TEST_F(GerberTest, LastPositionFollowsEveryCoordinateYInSinglePrecision) {
  set(Slot::Version, "6");
  ASSERT_EQ(convert("X16777217Y16777217D02*\n", sink::kFile), ConversionOutcome::converted);
  EXPECT_EQ(context.conversion.geometry.last_x, 16777217.0);
  EXPECT_EQ(context.conversion.geometry.last_y, 16777216.0f);
  EXPECT_EQ(dir.read("t.tpx"), "F45Z000800*X777217*Y777216*go0go0");
}

TEST_F(GerberTest, EachRunStartsWithoutAModalDCode) {
  // A run that ends drawing must not make the next run's first D01 a repeated one (no plunge).
  ASSERT_EQ(convert("X100Y100D01*\n", sink::kFile), ConversionOutcome::converted);
  const std::string first = dir.read("t.tpx");
  EXPECT_EQ(context.conversion.gerber, GerberModal{"01"});
  ASSERT_EQ(convert("X100Y100D01*\n", sink::kFile), ConversionOutcome::converted);
  EXPECT_EQ(dir.read("t.tpx"), first);
  EXPECT_EQ(context.conversion.cursor(), (ReaderCursor{.read_cursor = 13, .text_length = 13}));
}

TEST_F(GerberTest, AbortEndsTheProgramWithoutPassEnd) {
  std::string source;
  for (int i = 0; i < 200; ++i) source += "X" + std::to_string(i) + "Y100D02*\n";
  host.on_pump = [&] {
    if (host.pumps == 30) {
      context.conversion.abort = true;
      context.channel.line = "X00999";  // a half-built line is dropped, not terminated
    }
  };
  ASSERT_EQ(convert(source, sink::kFile), ConversionOutcome::converted);
  const std::string program = dir.read("t.tpx");
  EXPECT_TRUE(program.ends_with("*go0")) << program;  // one "go0": program_end only
  EXPECT_EQ(program.find("X00999"), std::string::npos);
  EXPECT_LT(context.conversion.read_cursor, source.size());
}

TEST_F(GerberTest, TruncatedSourcesEndInEverySink) {
  // Every loop tests the read cursor against the text length, so a source cut anywhere ends.
  const std::vector<std::string> cut = {"X", "X12", "X-", "Y", "D", "D0", "%FSLA", "X1Y", "X1Y2D01", "\r\n\r",
                                        "X100Y100D01*X2"};
  for (const std::string& text : cut) {
    for (std::string_view s : {sink::kFile, sink::kTextView, sink::kMachine}) {
      EXPECT_EQ(convert(text, s), ConversionOutcome::converted) << text << " into " << s;
      EXPECT_EQ(context.conversion.read_cursor, text.size()) << text;
    }
  }
}

TEST_F(GerberTest, ACoordinateBeyond32BitsEndsTheConversionAsAnOverflow) {
  // Found by fuzzing: a coordinate of a hundred digits was rounded to an integer out of its range.
  const std::string source = "X100Y100D02*\nX" + std::string(100, '9') + "Y5D01*\nX1Y1D02*\n";
  EXPECT_EQ(convert(source, sink::kFile), ConversionOutcome::failed);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind("[converti:]Errore 6\rOverflow", 0), 0u) << host.messages[0];
  // What was converted before stays in the program file, put in place whole.
  EXPECT_EQ(dir.read("t.tpx"), "F45Z00800*X00100*Y00100*");

  ASSERT_EQ(convert("X2147483647Y-2147483648D02*\n", sink::kFile), ConversionOutcome::converted);
  EXPECT_EQ(dir.read("t.tpx"), "F45Z00800*X83647*Y83648*go0go0");
}

TEST_F(GerberTest, ACoordinateIsTheLeadingNumberOfItsRun) {
  // The run after the letter takes digits and "-"; its value is the sign and the digits before any
  // other "-", and a run of more than fifteen digits reads the same way.
  const struct {
    const char* block;
    const char* fields;
  } cases[] = {
      {"X12-3Y-0D02*\n", "X00012*Y00000*"},
      {"X--5Y12-D02*\n", "X00000*Y00012*"},
      {"X0000000000000000012Y-D02*\n", "X00012*Y00000*"},
      {"X999999999999999Y1D02*\n", ""},  // fifteen nines: beyond 32 bits
  };
  for (const auto& c : cases) {
    const bool fits = *c.fields != '\0';
    EXPECT_EQ(convert(c.block, sink::kFile), fits ? ConversionOutcome::converted : ConversionOutcome::failed) << c.block;
    if (fits) {
      EXPECT_EQ(dir.read("t.tpx"), std::string("F45Z00800*") + c.fields + "go0go0") << c.block;
    }
  }
}

TEST_F(GerberTest, SampleFilesConvertWithoutFailure) {
  const char* moved = std::getenv("VIREO_SAMPLES");  // where a checkout keeps them elsewhere
  const std::filesystem::path samples = std::filesystem::path(moved ? moved : VIREO_SAMPLES) / "gerber";
  if (!std::filesystem::is_directory(samples)) GTEST_SKIP() << samples << " is not there";
  int converted = 0;
  for (const auto& entry : std::filesystem::directory_iterator(samples)) {
    const std::optional<std::string> text = read_whole_file(entry.path());
    ASSERT_TRUE(text) << entry.path();
    host.file_types = {".gbr"};  // extensions outside the table are named Gerber
    host.file_type_questions = 0;
    context.conversion.output_path = dir.file("sample.tpx");
    document.set_text(*text);
    host.caption = entry.path().string();
    context.channel.sink = sink::kFile;
    EXPECT_EQ(convert_document(context), ConversionOutcome::converted) << entry.path();
    EXPECT_EQ(context.conversion.read_cursor, text->size()) << entry.path();
    EXPECT_TRUE(dir.read("sample.tpx").ends_with("go0")) << entry.path();
    ++converted;
  }
  EXPECT_GT(converted, 0);
}

}  // namespace
}  // namespace vireo
