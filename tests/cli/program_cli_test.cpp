// vireo-cli send, trace, preview and autozero, run as scripts run them.
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

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
  EXPECT_TRUE(no_port.err.ends_with(" error=8002\n")) << no_port.err;

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
  // The interrupt comes once the program is ready for it (a slow start must not meet it unprepared).
  ASSERT_TRUE(test::wait_until([&] { return send.catches(SIGINT); }, std::chrono::seconds(20)));
  // Still sending after a while: nothing ends it by itself.
  EXPECT_FALSE(send.read_line(std::chrono::milliseconds(300)));
  EXPECT_EQ(send.stop(std::chrono::seconds(5), SIGINT), 0);
}

// "send t.tpx --set s_periferica=com1 --port com1=PTY" with the simulator alive on PTY ended with
// "[Invia:]Errore 8012 The device is not open" and nothing in the simulator's log: send never opened
// the machine link that convert opens. A program and a raster now arrive on the simulator's terminal.
TEST(CliSend, ProgramsAndRastersReachTheSimulator) {
  test::TempDir dir;
  dir.write("p.tpx", "X01000*\r\nY02000*");
  dir.write("p.raw", std::string(2048, '.'));
  struct Row {
    const char* file;
    std::string logged;
  };
  const Row rows[] = {{"p.tpx", "F45Z00000*F45S12X01000*Y02000*go0F45Z00000*F45S00 "},
                      {"p.raw", std::string(256, '\xff')}};
  for (const Row& row : rows) {
    test::BackgroundProcess sim(VIREO_SIM, {"--log", dir.file("sim.log")});
    const std::optional<std::string> pty = sim.read_line(std::chrono::seconds(5));
    ASSERT_TRUE(pty);
    const test::ProcessResult r = cli({"send", dir.file(row.file), "--set", "s_periferica=com1", "--set",
                                       "ritardo_dsr=1", "--port", "com1=" + *pty});
    EXPECT_EQ(r.status, 0) << row.file << ": " << r.err;
    EXPECT_EQ(sim.stop(), 0);
    std::string logged;
    for (char c : dir.read("sim.log"))
      if (c != '\n') logged += c;
    EXPECT_EQ(logged, row.logged) << row.file;
  }
}

// "mkdir d.tpx; vireo-cli trace d.tpx" (also preview, and "trace x.gbr" beside a folder x.tpx) ended
// with an uncaught std::ios_base::failure, exit 134. Every file read reports its reason.
TEST(CliFiles, AFolderWhereAFileShouldBeIsReported) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.path() / "d.tpx");
  std::filesystem::create_directory(dir.path() / "d.raw");
  dir.write("d.gbr", "X1Y1D02*");
  struct Row {
    std::vector<std::string> args;
    const char* message;
  };
  const Row rows[] = {
      {{"trace", dir.file("d.tpx")}, "[GRAPH:]Errore 75\nPath/File access error: "},
      {{"trace", dir.file("d.gbr")}, "[GRAPH:]Errore 75\nPath/File access error: "},
      {{"preview", dir.file("d.tpx"), "--png", dir.file("d.png")}, "[GRAPH:]Errore 75\nPath/File access error: "},
      {{"send", dir.file("d.tpx")}, "vireo-cli: cannot read "},
      {{"send", dir.file("d.raw")}, "vireo-cli: cannot read "},
      {{"autozero", dir.file("d.tpx")}, "vireo-cli: cannot read "},
      {{"convert", dir.file("d.tpx")}, "vireo-cli convert: cannot read "},
      {{"settings", "--setup", dir.file("d.tpx")}, "vireo-cli: cannot read "},
  };
  for (const Row& row : rows) {
    const test::ProcessResult r = cli(row.args);
    EXPECT_EQ(r.status, 1) << row.args[0] << " " << row.args[1] << ": " << r.err;
    EXPECT_TRUE(r.err.starts_with(row.message)) << r.err;
    EXPECT_NE(r.err.find(": Is a directory\n"), std::string::npos) << r.err;
  }
}

// A missing setup file said "not a setup file: 0 fields read", and a .tpx that cannot be read said
// "Errore 53 File not found": the messages name the real reason.
TEST(CliFiles, MessagesNameTheReason) {
  test::TempDir dir;
  const test::ProcessResult missing = cli({"settings", "--setup", dir.file("none.stu")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "vireo-cli: cannot read " + dir.file("none.stu") + ": No such file or directory\n");
  const test::ProcessResult short_file = cli({"settings", "--setup", dir.write("short.stu", "1,2,3,")});
  EXPECT_EQ(short_file.status, 1);
  EXPECT_NE(short_file.err.find("not a setup file: 3 fields read"), std::string::npos) << short_file.err;

  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not stop root";
  const std::string locked = dir.write("locked.tpx", "X01000*");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  const test::ProcessResult trace = cli({"trace", locked});
  EXPECT_EQ(trace.status, 1);
  EXPECT_EQ(trace.err, "[GRAPH:]Errore 75\nPath/File access error: " + locked + ": Permission denied\n");
  const test::ProcessResult send = cli({"send", locked});
  EXPECT_EQ(send.err, "vireo-cli: cannot read " + locked + ": Permission denied\n");
}

// "preview --size 20000x20000" took 3.5 GB and 18 s. A side is at most 8192 pixels.
TEST(CliPreview, ThePictureSizeIsCapped) {
  test::TempDir dir;
  dir.write("board.tpx", kBoard);
  const test::ProcessResult big = cli({"preview", dir.file("board.tpx"), "--png", dir.file("big.png"), "--size", "20000x20000"});
  EXPECT_EQ(big.status, 2);
  EXPECT_TRUE(big.err.starts_with("vireo-cli preview: --size is at most 8192x8192 pixels, not 20000x20000\n")) << big.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("big.png")));
  const test::ProcessResult widest = cli({"preview", dir.file("board.tpx"), "--png", dir.file("wide.png"), "--size", "8192x2"});
  ASSERT_EQ(widest.status, 0) << widest.err;
  EXPECT_EQ(png_dimension(dir.read("wide.png"), 16), 8192u);
}

}  // namespace
}  // namespace vireo
