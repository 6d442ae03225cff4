// The DXF and HPGL converters where golden files cannot reach: long chord runs, the stop button,
// the tool window's answers, and every sample drawing and plot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "link/operator_prompts.h"
#include "settings/text_file.h"
#include "tests/convert/conversion_fixture.h"

namespace vireo {
namespace {

using PlotTest = test::ConversionTest;

long count_starting(const std::vector<std::string>& lines, char letter) {
  return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return !l.empty() && l[0] == letter; });
}

TEST_F(PlotTest, CircleAndArcChordsStayBounded) {
  struct Case {
    const char* source;
    long points;  // X lines
    int errors;
  };
  const Case cases[] = {
      {"PU800,800;CI400,0;", 182, 0},             // chord 0: steps of 2 degrees, 360 twice
      {"PU800,800;CI400,-30;", 14, 0},            // the chord's size
      {"PU800000000,800000000;CI400000000;", 74, 0},  // a radius of 1e9: still 72 chords of 5
      {"PU800,800;AA400,400,90,0.002;", 0, 1},    // 45000 chords: refused
      {"PU800,800;AA400,400,440630,0;", 0, 1},     // 220315 chords of 2 degrees: refused
  };
  for (const Case& c : cases) {
    ASSERT_EQ(convert(c.source, sink::kFile, "t.plt"), ConversionOutcome::converted) << c.source;
    EXPECT_EQ(count_starting(recorded.lines, 'X') - 1, c.points) << c.source;  // less the PU's X
    EXPECT_EQ(context.channel.error_count, c.errors) << c.source;
  }
}

TEST_F(PlotTest, StopEndsTheProgramAtOnce) {
  // A long drawing, and one whose code lines lack their blank (its first entity reads to the end).
  std::string lines = "  0\nSECTION\n  2\nENTITIES\n";
  std::string bare = "0\nSECTION\n2\nENTITIES\n0\nLINE\n";
  std::string plot;
  for (int i = 0; i < 20000; ++i) {
    lines += "  0\nLINE\n 10\n0\n 20\n0\n 11\n" + std::to_string(i) + "\n 21\n5\n";
    bare += "10\n0\n20\n0\n";
    plot += "PU0,0;PD" + std::to_string(i) + ",5;\n";
  }
  const std::pair<std::string, const char*> runs[] = {{lines, "t.dxf"}, {bare, "t.dxf"}, {plot, "t.plt"}};
  for (const auto& [source, name] : runs) {
    host.pumps = 0;
    host.on_pump = [&] {
      if (host.pumps == 1000) context.conversion.abort = true;
    };
    ASSERT_EQ(convert(source, sink::kFile, name), ConversionOutcome::converted) << name;
    EXPECT_LT(context.conversion.read_cursor, source.size() / 20) << name;
    EXPECT_TRUE(dir.read("t.tpx").ends_with("go0")) << name;
    EXPECT_EQ(std::count(recorded.lines.begin(), recorded.lines.end(), "go0"), 1) << name;  // no pass end
  }
}

TEST_F(PlotTest, PenAboveEightIsAskedForInTheToolWindow) {
  set(Slot::atc_hpgl, "prof_var");
  struct Case {
    int answer;  // the pen chosen, or 99 for cancel
    std::string spindle_line;
    std::string message;
  };
  const Case cases[] = {{3, " S08 T03000 ", ""}  /* pen 3's spindle */, {99, "", "   USCITA   "}};
  for (const Case& c : cases) {
    host.on_tool_window = [&](std::string_view, bool, bool) {
      tool_window_loaded(context);
      host.post([&] {
        if (c.answer == 99) tool_window_cancel(context);
        else tool_window_choose(context, c.answer);
        tool_window_unloaded(context);
      });
    };
    host.tool_windows.clear();
    ASSERT_EQ(convert("SP12;", sink::kFile, "t.plt"), ConversionOutcome::converted);
    ASSERT_EQ(host.tool_windows.size(), 1u);
    EXPECT_EQ(host.tool_windows[0], (test::FakeHost::ToolWindowShow{"REQUEST TOOL 12", false, true}));
    EXPECT_EQ(recorded.lines.at(0), "S00 ");
    EXPECT_EQ(recorded.lines.at(1), c.spindle_line.empty() ? "go0" : c.spindle_line);
    EXPECT_EQ(context.channel.message_text, c.message);
  }
}

TEST_F(PlotTest, SampleFilesConvertWithoutFailure) {
  const char* moved = std::getenv("VIREO_SAMPLES");  // where a checkout keeps them elsewhere
  const std::filesystem::path samples = moved ? moved : VIREO_SAMPLES;
  int converted = 0;
  for (const auto& [folder, type] : {std::pair{"dxf", ".dxf"}, std::pair{"hpgl", ".plt"}}) {
    if (!std::filesystem::is_directory(samples / folder)) GTEST_SKIP() << samples / folder << " is not there";
    for (const auto& entry : std::filesystem::directory_iterator(samples / folder)) {
      const std::optional<std::string> text = read_whole_file(entry.path());
      ASSERT_TRUE(text) << entry.path();
      host.file_types = {type};  // ".hpgl" and ".hpg" are outside the table
      host.file_type_questions = 0;
      context.conversion.output_path = dir.file("sample.tpx");
      document.set_text(*text);
      host.caption = entry.path().string();
      context.channel.sink = sink::kFile;
      EXPECT_EQ(convert_document(context), ConversionOutcome::converted) << entry.path();
      EXPECT_TRUE(dir.read("sample.tpx").ends_with("go0")) << entry.path();
      ++converted;
    }
  }
  EXPECT_GT(converted, 0);
}

}  // namespace
}  // namespace vireo
