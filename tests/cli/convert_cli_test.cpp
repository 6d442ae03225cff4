// vireo-cli convert, run as scripts run it: options, exit status, what goes to stdout and stderr.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
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
  const std::string drill = dir.write("holes.drl", "M72\nT01\nX1Y1\nM30\n");
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
      {"tool list of a Gerber file", {source, "--list-tools"}, 2, "--list-tools and --tool choose"},
      {"tool list with the changer", {drill, "--tool", "T01"}, 2, "(atc_excellon=single)"},
      {"one tool at a time without a tool", {drill, "--set", "atc_excellon=single"}, 2, "needs --tool CODE"},
      {"listing and choosing", {drill, "--list-tools", "--tool", "T01"}, 2, "exclude each other"},
      {"a tool not in the list", {drill, "--set", "atc_excellon=single", "--tool", "T09"}, 2, "no tool T09"},
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

// "convert src.gbr --output src.gbr" wrote the program over its own source and exited 0; a conversion
// that then failed left 24 bytes of the source. "--output ''" wrote beside the input without a word.
// An output that is the input, also through a link, is refused before anything is opened.
TEST_F(ConvertCli, AnOutputThatIsItsOwnInputIsRefused) {
  const std::string source = input("worked_example.gbr");
  const std::string original = dir.read("worked_example.gbr");
  std::filesystem::create_symlink("worked_example.gbr", dir.path() / "alias.tpx");
  for (const std::string& output : {source, dir.file("alias.tpx")}) {
    const test::ProcessResult r = cli({source, "--output", output});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("[converti:]il file di programma e' il file sorgente: " + output), std::string::npos) << r.err;
    EXPECT_EQ(dir.read("worked_example.gbr"), original);
  }
  // The program file beside the input is a link back to it.
  std::filesystem::create_symlink("worked_example.gbr", dir.path() / "worked_example.tpx");
  EXPECT_EQ(cli({source}).status, 1);
  EXPECT_EQ(dir.read("worked_example.gbr"), original);

  const test::ProcessResult empty = cli({source, "--output", ""});
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.err.find("--output needs a file name"), std::string::npos) << empty.err;
}

// Two "convert --output same.tpx" at once left a mixture of both programs in 14 of 20 tries. Each run
// writes its own temporary file and puts it in place whole.
TEST_F(ConvertCli, TwoConversionsIntoOneFileLeaveOneWholeProgram) {
  std::string board;
  for (int i = 0; i < 20000; ++i) board += "X" + std::to_string(i % 900) + "Y" + std::to_string(i % 700) + "D01*\n";
  const std::string first = dir.write("first.gbr", board);
  const std::string second = dir.write("second.gbr", "X100Y100D02*\n" + board);
  ASSERT_EQ(cli({first, "--output", dir.file("alone1.tpx")}).status, 0);
  ASSERT_EQ(cli({second, "--output", dir.file("alone2.tpx")}).status, 0);
  const std::string programs[] = {dir.read("alone1.tpx"), dir.read("alone2.tpx")};
  for (int attempt = 0; attempt < 4; ++attempt) {
    test::BackgroundProcess a(VIREO_CLI, {"convert", first, "--output", dir.file("same.tpx")});
    test::BackgroundProcess b(VIREO_CLI, {"convert", second, "--output", dir.file("same.tpx")});
    EXPECT_EQ(a.stop(std::chrono::seconds(60), 0), 0);
    EXPECT_EQ(b.stop(std::chrono::seconds(60), 0), 0);
    const std::string written = dir.read("same.tpx");
    EXPECT_TRUE(written == programs[0] || written == programs[1]) << "a mixture of " << written.size() << " bytes";
  }
}

// Killing the simulator during "convert --sink periferica" left the run going to its end (57 MB, no
// message, every line failing with EIO) and exit 0. The first failure now ends the run with its
// message, nothing more is tried on the dead port, and the exit status is 1.
TEST_F(ConvertCli, AMachineThatVanishesEndsTheRun) {
  std::string board;
  for (int i = 0; i < 200000; ++i) board += "X" + std::to_string(i % 900) + "Y" + std::to_string(i % 700) + "D01*\n";
  const std::string source = dir.write("long.gbr", board);
  auto sim = std::make_unique<test::BackgroundProcess>(VIREO_SIM, std::vector<std::string>{"--log", dir.file("sim.log")});
  const std::optional<std::string> pty = sim->read_line(std::chrono::seconds(5));
  ASSERT_TRUE(pty);
  test::BackgroundProcess run(VIREO_CLI, {"convert", source, "--sink", "periferica", "--set", "s_periferica=com1",
                                          "--set", "ritardo_dsr=1", "--port", "com1=" + *pty});
  ASSERT_TRUE(test::wait_until([&] { return dir.read("sim.log").size() > 1000; }, std::chrono::seconds(20)));
  EXPECT_EQ(sim->stop(std::chrono::seconds(5), SIGKILL), -1);
  const auto killed = std::chrono::steady_clock::now();
  EXPECT_EQ(run.stop(std::chrono::seconds(30), 0), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(10));
}

// Ctrl-C during "convert --sink periferica" ended the program at once: the spindle never got its
// "S00". The run now stops as the stop button stops it, closing sequence included.
TEST_F(ConvertCli, InterruptStopsTheRunWithTheClosingSequence) {
  std::string board;
  for (int i = 0; i < 200000; ++i) board += "X" + std::to_string(i % 900) + "Y" + std::to_string(i % 700) + "D01*\n";
  const std::string source = dir.write("long.gbr", board);
  test::BackgroundProcess sim(VIREO_SIM, {"--log", dir.file("sim.log")});
  const std::optional<std::string> pty = sim.read_line(std::chrono::seconds(5));
  ASSERT_TRUE(pty);
  test::BackgroundProcess run(VIREO_CLI, {"convert", source, "--sink", "periferica", "--set", "s_periferica=com1",
                                          "--set", "ritardo_dsr=1", "--port", "com1=" + *pty});
  ASSERT_TRUE(test::wait_until([&] { return dir.read("sim.log").size() > 1000; }, std::chrono::seconds(20)));
  EXPECT_EQ(run.stop(std::chrono::seconds(30), SIGINT), 1);
  EXPECT_EQ(sim.stop(), 0);
  const std::string logged = dir.read("sim.log");
  EXPECT_TRUE(logged.ends_with("S00 \n")) << logged.substr(logged.size() - std::min<std::size_t>(logged.size(), 80));
}

// The summary line was not the last for an unknown type, an unreadable input or a program file that
// was not written; a failed run said "errors=0 last_error=" with nothing after it; "cannot read X"
// gave no reason. Every failure now says why, and the summary comes last.
TEST_F(ConvertCli, EveryFailureSaysWhyAndTheSummaryComesLast) {
  const std::string source = input("worked_example.gbr");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"unknown type", {dir.write("board.art", "X1Y1D02*\n")}, 2, "unknown file type of " + dir.file("board.art")},
      {"missing input", {dir.file("none.gbr")}, 1, "cannot read " + dir.file("none.gbr") + ": No such file or directory"},
      {"unwritable output", {source, "--output", dir.file("no/such/x.tpx")}, 1, "x.tpx was not written"},
      {"failed run", {dir.write("noext", "X1Y1D02*")}, 1, "[converti:]Errore 5"},
      {"program file", {dir.write("prog.tpx", "X01000*")}, 1, "[converti:]e' un file .tpx"},
      {"port", {source, "--sink", "periferica", "--set", "s_periferica=com2", "--port", "com2=" + dir.file("no-tty")},
       1, "Errore 8002 Invalid port number"},
      {"setting", {source, "--set", "nothing=1"}, 2, "unknown setting nothing"},
  };
  for (const Case& c : cases) {
    const test::ProcessResult r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    std::string last = r.err.substr(0, r.err.size() - 1);
    last = last.substr(last.rfind('\n') + 1);
    EXPECT_TRUE(last.starts_with("vireo-cli convert: errors=")) << c.name << ": " << r.err;
    EXPECT_FALSE(last.ends_with("last_error=")) << c.name << ": " << r.err;
    EXPECT_FALSE(last.starts_with("vireo-cli convert: errors=0 ")) << c.name << ": " << r.err;
  }
}

// Every sample drill file converts with the changer and, one tool at a time, for its first listed
// tool. Files named as another format's (".cnc", ".tap" are G-code by their extension) are converted
// under an extension outside the table, named a drill file with --type drl as the type dialog would.
TEST_F(ConvertCli, SampleDrillFilesConvertInBothModes) {
  const char* moved = std::getenv("VIREO_SAMPLES");
  const std::filesystem::path samples = std::filesystem::path(moved ? moved : VIREO_SAMPLES) / "excellon";
  if (!std::filesystem::is_directory(samples)) GTEST_SKIP() << samples << " is not there";
  int converted = 0;
  for (const auto& entry : std::filesystem::directory_iterator(samples)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool other_format = ext == ".cnc" || ext == ".tap";
    const std::string source = dir.file(entry.path().stem().string() + (other_format ? ".xnc" : ext));
    std::filesystem::copy_file(entry.path(), source, std::filesystem::copy_options::overwrite_existing);
    const std::vector<std::string> common = {source, "--type", "drl", "--output", dir.file("out.tpx")};

    test::ProcessResult r = cli(common);
    EXPECT_EQ(r.status, 0) << entry.path() << ": " << r.err;
    EXPECT_TRUE(dir.read("out.tpx").ends_with("go0")) << entry.path();

    std::vector<std::string> single = common;
    single.insert(single.end(), {"--set", "atc_excellon=single", "--list-tools"});
    r = cli(single);
    ASSERT_EQ(r.status, 0) << entry.path() << ": " << r.err;
    const std::string first = r.out.substr(0, r.out.find('\n'));
    if (first.empty()) continue;  // nothing after "M72" reads as a tool
    single.back() = "--tool";
    single.push_back(first);
    std::filesystem::remove(dir.file("out.tpx"));
    r = cli(single);
    EXPECT_EQ(r.status, 0) << entry.path() << " " << first << ": " << r.err;
    EXPECT_TRUE(dir.read("out.tpx").ends_with("go0")) << entry.path();
    ++converted;
  }
  EXPECT_GT(converted, 0);
}

}  // namespace
}  // namespace vireo
