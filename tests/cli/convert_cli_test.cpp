// vireo-cli convert, run as scripts run it: options, exit status, what goes to stdout and stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/text_file.h"
#include "tests/support/background_process.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

// The worked Gerber example of the golden cases: its input, its delivered lines and its view text.
const std::filesystem::path kGolden = std::filesystem::path(VIREO_SOURCE) / "tests/golden/gerber";

test::ProcessResult cli(std::vector<std::string> args) {
  args.insert(args.begin(), "convert");
  return test::run_process(VIREO_CLI, args);
}

std::string golden(const std::string& case_name) {
  return read_whole_file(kGolden / case_name / "expected.out").value_or("(missing " + case_name + ")");
}

struct ConvertCli : ::testing::Test {
  test::TempDir dir;
  // Copies a golden input into the test's directory, so the program file lands there.
  std::string input(const std::string& name) {
    std::filesystem::copy_file(kGolden / std::filesystem::path(name).stem() / ("input" + std::filesystem::path(name).extension().string()), dir.path() / name);
    return dir.file(name);
  }
};

// Each input was worked out by hand from the converter's rules and the encoder's (a feed or Z equal to
// the current one is dropped; "pa" goes out as "pc" and drops the next "pc").
TEST_F(ConvertCli, FileSinkWritesTheProgramBesideTheInputOrAtOutput) {
  const std::string source = input("worked_example.gbr");
  test::ProcessResult r = cli({source});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "vireo-cli convert: errors=0 last_error=\n");
  std::string expected;
  for (char c : golden("worked_example"))
    if (c != '\n') expected += c;
  // Lines back to back, a bare CR before a line that starts after more than 60 characters.
  std::string program = dir.read("worked_example.tpx");
  EXPECT_EQ(program.find('\n'), std::string::npos);
  EXPECT_EQ(program.find('\r'), 69u);
  program.erase(program.find('\r'), 1);
  EXPECT_EQ(program, expected);

  r = cli({source, "--output", dir.file("other.tpx")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.read("other.tpx"), dir.read("worked_example.tpx"));
}

TEST_F(ConvertCli, RtfSinkPrintsTheViewTextOrOnlyTheLines) {
  const std::string source = input("worked_example.gbr");
  test::ProcessResult r = cli({source, "--sink", "rtf"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, golden("worked_example_rtf"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("worked_example.tpx")));

  r = cli({source, "--sink", "rtf", "--lines"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string joined;
  for (char c : r.out)
    if (c != '\n') joined += c;
  EXPECT_EQ(joined, golden("worked_example_rtf"));
  EXPECT_TRUE(r.out.starts_with("F45Z00000*\nS12\nZ00800*\n")) << r.out;
}

TEST_F(ConvertCli, MachineSinkGoesThroughTheConfiguredDevice) {
  const std::string source = input("worked_example.gbr");
  test::ProcessResult r = cli({source, "--sink", "periferica"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");  // the dummy device delivers nothing

  r = cli({source, "--sink", "periferica", "--lines", "--set", "indplc=O1", "--set", "indfresa=O2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("O1Od000011000000000000000000O2\nF45Z00000*\nS12\n")) << r.out;
  EXPECT_TRUE(r.out.ends_with("go0\nO1Od000000000000000000000000O2\nZ00000*\nS00 \n")) << r.out;
}

TEST_F(ConvertCli, MachineSinkOverASerialPortReachesTheSimulator) {
  const std::string source = input("worked_example.gbr");
  test::BackgroundProcess sim(VIREO_SIM, {"--log", dir.file("sim.log")});
  const std::optional<std::string> pty = sim.read_line(std::chrono::seconds(5));
  ASSERT_TRUE(pty);
  const test::ProcessResult r = cli({source, "--sink", "periferica", "--set", "s_periferica=com1", "--set",
                                     "ritardo_dsr=1", "--port", "com1=" + *pty});
  ASSERT_EQ(r.status, 0) << r.err;
  // The simulator logs a command at its "*": everything up to the return to rest, in order.
  const std::string sent = golden("worked_example_rtf");
  const std::string last = "go0Z00000*";
  std::string logged;
  test::wait_until(
      [&] {
        logged.clear();
        for (char c : dir.read("sim.log"))
          if (c != '\n' && c != '\r') logged += c;
        return logged.ends_with(last);
      },
      std::chrono::seconds(5));
  EXPECT_EQ(logged, sent.substr(0, sent.find(last) + last.size()));

  // A port that cannot be opened ends the command before anything is converted.
  const test::ProcessResult closed = cli({source, "--sink", "periferica", "--set", "s_periferica=com2", "--port",
                                          "com2=" + dir.file("no-such-tty")});
  EXPECT_EQ(closed.status, 1);
  EXPECT_NE(closed.err.find("Errore"), std::string::npos) << closed.err;
}

TEST_F(ConvertCli, NegativeCoordinatesAreCountedAndAPauseIsReleased) {
  const std::string source = input("negative.gbr");
  test::ProcessResult r = cli({source});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "vireo-cli convert: errors=1 last_error=[Invia:] segno negativo X\n");

  // The output view pauses on the doubtful line; nobody is there to release it.
  r = cli({source, "--sink", "rtf"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("pause released"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("errors=1 last_error=[Invia:] segno negativo X\n"), std::string::npos) << r.err;
}

TEST_F(ConvertCli, FileTypes) {
  const std::string art = dir.write("board.art", "X100Y100D02*\n");
  test::ProcessResult r = cli({art});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown file type"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("board.tpx")));

  r = cli({art, "--type", "gbr", "--lines"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("F45Z00800*\n\nX00100*\nY00100*\n")) << r.out;
  EXPECT_TRUE(std::filesystem::exists(dir.file("board.tpx")));

  // A program is not converted again.
  r = cli({dir.write("prog.tpx", "F45Z00800*")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("[converti:]e' un file .tpx\n"), std::string::npos) << r.err;

  // A path without an extension dot is a run-time failure of the driver.
  r = cli({dir.write("noext", "X1Y1D02*")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("[converti:]Errore 5\nInvalid procedure call or argument"), std::string::npos) << r.err;

  // A format whose converter is not in this build says so.
  r = cli({dir.write("part.nc", "G0 X1\n")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("[converti:]il convertitore dei file .gc non e' ancora disponibile"), std::string::npos);
}

TEST_F(ConvertCli, TheExampleBoardConverts) {
  const std::string board = (std::filesystem::path(VIREO_EXAMPLES) / "blink-top.gtl").string();
  const test::ProcessResult r = cli({board, "--set", "unita_gerber=inch", "--set", "opt_gbr=2", "--sink", "rtf"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "vireo-cli convert: errors=0 last_error=\n");
  // The first pad at X5000Y5000 (0.5 inch) is reached at 1270 hundredths of a millimetre.
  EXPECT_TRUE(r.out.starts_with("F45Z00000*S12Z00800*X01270*Y01270*F02Z01100*")) << r.out;
  EXPECT_TRUE(r.out.ends_with("go0Z00000*S00 ")) << r.out;
}

// The prompt's answer is chosen for the whole run; a run without tool changes writes the same lines.
TEST_F(ConvertCli, ManualAnswerLeavesARunWithoutToolChangesAlone) {
  const std::string source = input("worked_example.gbr");
  const test::ProcessResult plain = cli({source, "--lines", "--sink", "periferica"});
  for (const char* answer : {"ok", "skip", "change:8", "dev:1"}) {
    const test::ProcessResult r = cli({source, "--lines", "--sink", "periferica", "--manual-answer", answer});
    EXPECT_EQ(r.status, 0) << answer << ": " << r.err;
    EXPECT_EQ(r.out, plain.out) << answer;
  }
}

TEST_F(ConvertCli, FailuresAndUsage) {
  const std::string source = input("worked_example.gbr");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"no input", {}, 2, "convert needs an INPUT file"},
      {"missing input", {dir.file("none.gbr")}, 1, "cannot read"},
      {"bad sink", {source, "--sink", "printer"}, 2, "--sink takes file, rtf or periferica"},
      {"bad type", {source, "--type", "svg"}, 2, "--type takes gc, dxf, drl, gbr, plt or rml"},
      {"unknown option", {source, "--fast"}, 2, "unknown option --fast"},
      {"two inputs", {source, source}, 2, "unknown option"},
      {"unknown setting", {source, "--set", "nothing=1"}, 2, "unknown setting nothing"},
      {"unwritable output", {source, "--output", dir.file("no/such/dir/x.tpx")}, 1, "was not written"},
      {"prompt answer without a tool", {source, "--manual-answer", "change"}, 2, "--manual-answer takes ok, skip"},
      {"prompt answer beyond the slots", {source, "--manual-answer", "dev:9"}, 2, "not dev:9"},
      {"prompt answer misspelt", {source, "--manual-answer", "OK"}, 2, "not OK"},
  };
  for (const Case& c : cases) {
    const test::ProcessResult r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    // Whatever ended a run, the summary is the last line (a wrong command line ends with the usage).
    if (c.status != 1) continue;
    const std::size_t last_line = r.err.rfind('\n', r.err.size() - 2);
    EXPECT_TRUE(r.err.substr(last_line + 1).starts_with("vireo-cli convert: errors=")) << c.name << ": " << r.err;
  }
}

}  // namespace
}  // namespace vireo
