// vireo-cli send, trace, preview and autozero, run as scripts run them.
#include <gtest/gtest.h>

#include "tests/support/background_process.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

test::ProcessResult cli(const std::vector<std::string>& args) { return test::run_process(VIREO_CLI, args); }

constexpr const char* kBoard = "F45Z00800*X01000Y01000*Z01000*X03000*Y05000*\rX01000*Y01000*Z00800*X09000Y09000*";

unsigned png_dimension(const std::string& png, std::size_t at) {
  unsigned value = 0;
  for (std::size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(png[i]);
  return value;
}

TEST(CliTrace, PrintsLevelsAndExtent) {
  test::TempDir dir;
  dir.write("board.tpx", kBoard);
  const std::string expected = "zmin=800\nzmax=1000\nzlevels=1\nlevels=1000\nxmin=1000\nxmax=3000\nymin=1000\nymax=5000\n";
  for (std::string name : {"board.tpx", "board.gbr"}) {
    const test::ProcessResult r = cli({"trace", dir.file(name)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected) << name;
  }
  dir.write("travel.tpx", "Z00800*X01000Y01000*X05000*");
  const test::ProcessResult travel = cli({"trace", dir.file("travel.tpx")});
  EXPECT_EQ(travel.out, "zmin=800\nzmax=0\nzlevels=0\nlevels=\nxmin=999999999\nxmax=0\nymin=999999999\nymax=0\n");
  dir.write("six.tpx", "Z000800*Z-00150*X001000Y002000*Z000900*");
  const test::ProcessResult six = cli({"trace", dir.file("six.tpx"), "--set", "Version=6"});
  EXPECT_EQ(six.out, "zmin=-150\nzmax=900\nzlevels=2\nlevels=900,800\nxmin=1000\nxmax=1000\nymin=2000\nymax=2000\n");
}

TEST(CliTrace, FailuresPrintTheProgramsMessage) {
  test::TempDir dir;
  struct Row {
    std::string file;
    std::string message;
  };
  const Row rows[] = {{dir.file("missing.tpx"), "[GRAPH:]Errore 53\nFile not found\nGenera prima il file su disco\n"},
                      {dir.file("noextension"), "estensione file mancante\n"}};
  for (const Row& row : rows) {
    for (std::string command : {"trace", "preview"}) {
      std::vector<std::string> args = {command, row.file};
      if (command == "preview") args.insert(args.end(), {"--png", dir.file("out.png")});
      const test::ProcessResult r = cli(args);
      EXPECT_EQ(r.status, 1) << command << " " << row.file;
      EXPECT_TRUE(r.err.ends_with(row.message)) << r.err;
      EXPECT_TRUE(r.err.starts_with("[GRAPH:]Errore ")) << r.err;
      EXPECT_EQ(r.out, "");
    }
  }
}

TEST(CliPreview, WritesThePlanAsPng) {
  test::TempDir dir;
  dir.write("board.tpx", kBoard);
  const test::ProcessResult r = cli({"preview", dir.file("board.tpx"), "--png", dir.file("plan.png")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Simulator   tot:5 linee\n");
  const std::string png = dir.read("plan.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png_dimension(png, 16), 800u);
  EXPECT_EQ(png_dimension(png, 20), 600u);

  const test::ProcessResult sized = cli({"preview", dir.file("board.tpx"), "--png", dir.file("small.png"), "--size", "320x200"});
  ASSERT_EQ(sized.status, 0) << sized.err;
  EXPECT_EQ(png_dimension(dir.read("small.png"), 16), 320u);
  EXPECT_EQ(png_dimension(dir.read("small.png"), 20), 200u);

  EXPECT_EQ(cli({"preview", dir.file("board.tpx"), "--png", dir.file("x.png"), "--size", "0x10"}).status, 2);
  EXPECT_EQ(cli({"preview", dir.file("board.tpx")}).status, 2);
  EXPECT_EQ(cli({"preview", dir.file("board.tpx"), "--png", dir.file("no/such/dir.png")}).status, 1);
}

TEST(CliAutozero, RewritesTheProgram) {
  test::TempDir dir;
  const std::string program = "Z00800*X00000Y00000*X01000Y01500*Z01000*X03000*Y02500*Z00800*";
  const std::string shifted = "Z00800*X00000Y00000*X00000Y00000*Z01000*X02000*Y01000*Z00800*";
  const std::string message =
      "( 3 )X + ( 3 )Y coordinate modificate, ( 2 )coordinate negative,le ho impostate a zero.\n"
      "Ricordati,se vuoi,di salvare il file modificato.\n";
  dir.write("a.tpx", program);
  const test::ProcessResult copy = cli({"autozero", dir.file("a.tpx"), "--output", dir.file("b.tpx")});
  ASSERT_EQ(copy.status, 0) << copy.err;
  EXPECT_EQ(copy.out, message);
  EXPECT_EQ(dir.read("a.tpx"), program);
  EXPECT_EQ(dir.read("b.tpx"), shifted);

  const test::ProcessResult in_place = cli({"autozero", dir.file("a.tpx")});
  ASSERT_EQ(in_place.status, 0) << in_place.err;
  EXPECT_EQ(dir.read("a.tpx"), shifted);

  dir.write("a.gbr", program);
  const test::ProcessResult refused = cli({"autozero", dir.file("a.gbr")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "[autozero:]non e' un file .tpx\n");
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(dir.read("a.gbr"), program);
  EXPECT_EQ(cli({"autozero", dir.file("none.tpx")}).status, 1);
}

TEST(CliSend, SendsThroughTheDevice) {
  test::TempDir dir;
  dir.write("p.tpx", "X01000*\r\nY02000");
  const test::ProcessResult r = cli({"send", dir.file("p.tpx"), "--lines", "--set", "ritardo_dsr=0"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The dummy device shows the lines as the encoder leaves them: a Z move to where Z already is, and
  // a feed code already in force, are dropped.
  EXPECT_EQ(r.out, "F45*\nS12\nX01000*\nY02000*\ngo0\n*\nS00 \n");

  dir.write("p.raw", std::string(2048, '.'));
  const test::ProcessResult raw = cli({"send", dir.file("p.raw"), "--lines"});
  ASSERT_EQ(raw.status, 0) << raw.err;
  EXPECT_EQ(raw.out, std::string(256, '\xff') + "\n");

  // A raster byte that reads as a minus sign is counted by the channel, and sent all the same.
  dir.write("minus.raw", std::string(2048, '\xDB').replace(0, 8, ".\xDB..\xDB.\xDB\xDB"));
  const test::ProcessResult minus = cli({"send", dir.file("minus.raw"), "--lines"});
  EXPECT_EQ(minus.status, 0) << minus.err;
  EXPECT_EQ(minus.out.substr(0, 1), "-");
  EXPECT_EQ(minus.err, "vireo-cli send: errors=0 last_error=[Invia:] segno negativo \n");

  // A port that cannot be opened fails the send.
  const test::ProcessResult no_port =
      cli({"send", dir.file("p.tpx"), "--set", "s_periferica=com3", "--port", "com3=" + dir.file("no-such-tty")});
  EXPECT_EQ(no_port.status, 1);
  EXPECT_TRUE(no_port.err.ends_with(" error=8012\n")) << no_port.err;

  const test::ProcessResult refused = cli({"send", dir.file("p.gbr")});
  EXPECT_EQ(refused.status, 1);
  dir.write("p.gbr", "X01000*");
  const test::ProcessResult wrong = cli({"send", dir.file("p.gbr")});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.err, "[Toolsinvia:]non e' un file .tpx\nvireo-cli send: errors=0 last_error=\n");
}

TEST(CliSend, InterruptEndsARepeatingProgram) {
  // "@" starts the program over for ever; Ctrl-C stops it as the stop button would (the closing
  // sequence goes out, the command ends normally) instead of killing it halfway through a command.
  test::TempDir dir;
  dir.write("loop.tpx", "X01000*Y02000*@");
  test::BackgroundProcess send(VIREO_CLI, {"send", dir.file("loop.tpx"), "--set", "ritardo_dsr=0"});
  ASSERT_TRUE(send.started());
  // Still sending after a while: nothing ends it by itself.
  EXPECT_FALSE(send.read_line(std::chrono::milliseconds(300)));
  EXPECT_EQ(send.stop(std::chrono::seconds(5), SIGINT), 0);
}

}  // namespace
}  // namespace vireo
