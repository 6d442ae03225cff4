#include "link/output_channel.h"

#include <gtest/gtest.h>

#include <string>

#include "core/context.h"
#include "core/program_file.h"
#include "tests/support/fake_host.h"
#include "tests/support/fake_isa_card.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

struct ChannelTest : ::testing::Test {
  test::FakeHost host;
  test::FakeSerialPort port;
  test::FakeIsaCard isa;
  test::TempDir dir;
  Context context{host};
  ChannelState& channel = context.channel;

  void SetUp() override {
    context.serial = &port;
    context.isa = &isa;
    use("periferica", "com1");
    port.open(1, 38400);
  }
  void set(Slot slot, std::string text) {
    context.settings.set_text(slot, std::move(text));
    derive_settings(context.settings, context.derived);
  }
  void use(std::string sink, std::string device) {
    channel.sink = std::move(sink);
    set(Slot::s_periferica, std::move(device));
  }
  void emit(std::string line) {
    emit_line(context, line);
  }
  void start_file_run() {
    use("file (.tpx)", "com1");
    channel.program_file_name = dir.file("out.tpx");
    channel.output_started = false;
  }
  std::string file_text() {
    close_program_file(context);
    return dir.read("out.tpx");
  }
};

TEST_F(ChannelTest, StatusPanels) {
  channel.line_counter = 12;
  channel.tool_text = "PASSATA N. 1";
  channel.operation_text = "  FORO    ";
  channel.line = "X01000*";
  channel.message_text = "    PRENDI UTENSILE ";
  channel.error_count = 2;
  update_status(context);
  EXPECT_EQ(host.panels[1], "items:     12");
  EXPECT_EQ(host.panels[2], "PASSATA N. 1");
  EXPECT_EQ(host.panels[3], "  FORO    ");
  EXPECT_EQ(host.panels[4], "X01000*");
  EXPECT_EQ(host.panels[5], "    PRENDI UTENSILE (tot errors= 2)");

  channel.line_counter = 1234567;
  channel.message_text.clear();
  channel.error_text = " ZBOTTOM mancante";
  update_status(context);
  EXPECT_EQ(host.panels[1], "items: 234567");
  EXPECT_EQ(host.panels[5], " ZBOTTOM mancante(tot errors= 2)");
}

TEST_F(ChannelTest, StatusBarIsLeftAloneWhileWritingAFileUnlessSendingDirect) {
  channel.sink = "file (.tpx)";
  update_status(context);
  EXPECT_EQ(host.panel_writes, 0);
  channel.direct_to_machine = true;
  update_status(context);
  EXPECT_EQ(host.panel_writes, 5);
}

TEST_F(ChannelTest, NegativeSignIsCountedPerAxisLetterAndTheLineStillGoesOut) {
  set(Slot::ena_correzione_coord, "0");  // the correction would read 0-200 as 0
  struct Case {
    const char* line;
    const char* letters;
    int count;
  } cases[] = {
      {"X0-200Y00100*", "XY", 2}, {"Z0-100*", "Z", 1}, {"F45-", "", 0}, {"Y00100X0-100Z00001*", "XYZ", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    channel.error_count = 0;
    port.written.clear();
    host.error_icon = false;
    context.display.force_z = true;  // 0-100 reads as 0, the Z already reached
    emit(c.line);
    EXPECT_EQ(channel.error_text, std::string("[Invia:] segno negativo ") + c.letters);
    EXPECT_EQ(channel.error_count, c.count);
    EXPECT_TRUE(host.error_icon);
    EXPECT_EQ(port.written, c.line);
  }
  emit("X01000*");
  EXPECT_EQ(channel.error_count, 3);  // a line without "-" counts nothing
}

TEST_F(ChannelTest, SuppressedLinesReachNoSinkAndStayInTheBuffer) {
  channel.suppress = true;
  for (const char* sink : {"periferica", "file (.tpx)", "rtf", ""}) {
    SCOPED_TRACE(sink);
    channel.sink = sink;
    channel.program_file_name = dir.file("out.tpx");
    emit("X01000*");
    EXPECT_EQ(channel.line, "X01000*");
  }
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(port.dsr_reads, 0);
  EXPECT_FALSE(channel.program_file.is_open());
  EXPECT_TRUE(host.output_captions.empty());
  EXPECT_EQ(host.panel_writes, 0);
  EXPECT_EQ(context.display.display_x, 0);
}

TEST_F(ChannelTest, PauseWaitsForEventsUntilTheOperatorReleasesIt) {
  channel.pause = true;
  host.on_wait = [&] {
    EXPECT_EQ(port.written, "");
    if (host.waits == 3) channel.pause = false;
  };
  emit("X01000*");
  EXPECT_EQ(host.waits, 3);
  EXPECT_EQ(port.written, "X01000*");
}

// A conversion into the output view paused on a negative coordinate ignored Esc: it waited for the
// pause button for ever. A stop during the pause ends the wait and drops the line.
TEST_F(ChannelTest, StopDuringThePauseEndsTheWait) {
  channel.pause = true;
  host.on_wait = [&] { context.conversion.abort = true; };
  emit("X01000*");
  EXPECT_EQ(host.waits, 1);
  EXPECT_EQ(port.written, "");
}

TEST_F(ChannelTest, PressingNextDuringThePauseDropsTheLine) {
  channel.pause = true;
  host.on_wait = [&] { channel.pause = false, channel.suppress = true; };
  emit("X01000*");
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(channel.line, "X01000*");
}

TEST_F(ChannelTest, SerialPathTakesTheDsrDelayCountOfConsecutiveReadings) {
  struct Case {
    const char* name;
    const char* delay;
    std::vector<bool> readings;  // then DSR stays on
    std::vector<long> reads_before_char;
  } cases[] = {
      {"delay 0 takes one reading", "0", {}, {1, 2, 3}},
      {"delay 1 takes one reading", "1", {}, {1, 2, 3}},
      {"a negative delay takes one reading", "-4", {}, {1, 2, 3}},
      {"delay 3", "3", {}, {3, 6, 9}},
      {"an off reading starts the count again", "3", {true, true, false, true, true, true}, {6, 9, 12}},
      {"off readings before a character", "1", {false, false, true, false, true}, {3, 5, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    set(Slot::ritardo_dsr, c.delay);
    port = test::FakeSerialPort{};
    port.open(1, 38400);
    port.dsr_line = [&](long i) { return i < static_cast<long>(c.readings.size()) ? c.readings[i] : true; };
    emit("go*");
    EXPECT_EQ(port.written, "go*");
    EXPECT_EQ(port.reads_before_char, c.reads_before_char);
  }
}

TEST_F(ChannelTest, DsrHeldOffPumpsOncePer100000ReadingsWithoutSpinning) {
  set(Slot::ritardo_dsr, "1");
  port.dsr_line = [](long i) { return i >= 250000; };
  emit("*");
  EXPECT_EQ(port.written, "*");
  EXPECT_EQ(host.pumps, 2);
  EXPECT_GT(host.waits, 100);  // short waits for events in between
}

TEST_F(ChannelTest, EmergencyWritesNothingAndLosesTheLine) {
  set(Slot::ritardo_dsr, "3");
  channel.emergency = true;
  port.dsr_line = [](long) { return false; };
  emit("X01000*");
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(port.dsr_reads, 3 * 7);  // every character still polled as often as the delay count says
  EXPECT_EQ(channel.line, "");
  EXPECT_EQ(host.pumps, 0);
}

TEST_F(ChannelTest, EmergencyPressedWhileDsrIsOffStopsTheRestOfTheLine) {
  set(Slot::ritardo_dsr, "1");
  port.dsr_line = [&](long i) {
    if (i == 150000) channel.emergency = true;
    return i < 2 || i > 300000;
  };
  emit("X01000*");
  EXPECT_EQ(port.written, "X0");
  EXPECT_EQ(host.pumps, 1);
}

TEST_F(ChannelTest, StoredProgramsGoOutOnTheSerialPortAsStoredButAreEncodedElsewhere) {
  // The encoder would drop the feed code equal to the current one.
  const auto prepare = [&](const char* extension) {
    context.display = DisplayState{};
    context.display.display_f = 45;
    channel.document_extension = extension;
  };
  for (const char* extension : {".tpx", ".raw"}) {
    SCOPED_TRACE(extension);
    prepare(extension);
    port.written.clear();
    emit("F45X01000*");
    EXPECT_EQ(port.written, "F45X01000*");
    EXPECT_EQ(context.display.display_x, 0);
  }

  prepare(".drl");
  port.written.clear();
  emit("F45X01000*");
  EXPECT_EQ(port.written, "X01000*");

  prepare(".tpx");
  use("periferica", "isa310");
  emit("F45X01000*");
  EXPECT_EQ(isa.text_at(0x310), "X01000*");

  prepare(".tpx");
  start_file_run();
  emit("F45X01000*");
  EXPECT_EQ(file_text(), "X01000*");
}

TEST_F(ChannelTest, PathChoice) {
  struct Case {
    const char* name;
    const char* sink;
    const char* device;
    bool direct;
    const char* serial;
    const char* isa300;
    const char* isa310;
  } cases[] = {
      {"machine over com", "periferica", "com2", false, "X00001*", "", ""},
      {"machine over isa300", "periferica", "isa300", false, "", "X00001*", ""},
      {"machine over isa310", "periferica", "isa310", false, "", "", "X00001*"},
      {"machine, dummy device", "periferica", "dummy", false, "", "", ""},
      {"machine, unknown device", "periferica", "lpt1", false, "", "", ""},
      {"no sink is the dummy", "", "com1", false, "", "", ""},
      {"unknown sink is the dummy", "printer", "isa300", false, "", "", ""},
      {"direct-to-machine overrides the sink", "rtf", "com1", true, "X00001*", "", ""},
      {"direct-to-machine with the dummy device", "file (.tpx)", "dummy", true, "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    use(c.sink, c.device);
    channel.direct_to_machine = c.direct;
    port.written.clear();
    isa.writes.clear();
    context.display = DisplayState{};
    emit("X00001*");
    EXPECT_EQ(port.written, c.serial);
    EXPECT_EQ(isa.text_at(0x300), c.isa300);
    EXPECT_EQ(isa.text_at(0x310), c.isa310);
    EXPECT_EQ(channel.line, "");
    EXPECT_EQ(context.display.display_x, 1);  // every path encodes
    EXPECT_EQ(host.output_captions.size(), 0u);
  }
}

TEST_F(ChannelTest, RunTimeFailuresAreCountedAndKeepTheLine) {
  struct Case {
    const char* name;
    std::function<void(ChannelTest&)> arrange;
    const char* error;
    bool stops_the_run;  // the machine is lost: the run is stopped
  } cases[] = {
      {"port not open", [](ChannelTest& t) { t.port.close(); }, "[Invia:]Errore  8012   The device is not open", true},
      {"no serial port", [](ChannelTest& t) { t.context.serial = nullptr; },
       "[Invia:]Errore  8012   The device is not open", true},
      {"write refused", [](ChannelTest& t) { t.port.refuse_write = true; }, "[Invia:]Errore  57   Device I/O error", true},
      {"card driver missing",
       [](ChannelTest& t) {
         t.use("periferica", "isa300");
         t.isa.failure = RunError(err::kLibraryLoad, "Error in loading DLL: libiocard.so");
       },
       "[Invia:]Errore  48   Error in loading DLL: libiocard.so", false},
      {"no card driver",
       [](ChannelTest& t) { t.use("periferica", "isa300"), t.context.isa = nullptr; },
       "[Invia:]Errore  48   Error in loading DLL: no ISA card driver", false},
      {"correction overflow", [](ChannelTest& t) { t.set(Slot::correzione_x, "1000000"); },
       "[Invia:]Errore  6   Overflow", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    context.settings = SettingsRecord{};
    use("periferica", "com1");
    context.serial = &port;
    context.isa = &isa;
    port = test::FakeSerialPort{};
    port.open(1, 38400);
    isa.failure.reset();
    context.conversion.abort = false;  // a new run (a failing port stops the one before)
    channel.error_count = 4;
    c.arrange(*this);
    emit("X12345*");
    EXPECT_EQ(channel.error_text, c.error);
    EXPECT_EQ(channel.error_count, 5);
    EXPECT_FALSE(channel.line.empty());
    EXPECT_EQ(context.conversion.abort, c.stops_the_run);
    EXPECT_EQ(host.panels[5], std::string(c.error) + "(tot errors= 5)");
  }
}

TEST_F(ChannelTest, AnEmptyLineDeliversNothingButUpdatesTheStatus) {
  port.close();  // not even the closed port is noticed
  emit("");
  EXPECT_EQ(channel.error_count, 0);
  EXPECT_EQ(port.dsr_reads, 0);
  EXPECT_EQ(host.panel_writes, 5);
}

TEST_F(ChannelTest, FileSinkBreaksWithABareCrAfterMoreThan60Characters) {
  for (int lines : {4, 5}) {
    SCOPED_TRACE(lines);
    start_file_run();
    context.display = DisplayState{};
    for (int i = 0; i < lines; ++i) emit("X01234*Y00567*");
    emit("Z00100*");
    std::string expected;
    for (int i = 0; i < lines; ++i) expected += "X01234*Y00567*";
    expected += lines == 5 ? "\rZ00100*" : "Z00100*";
    EXPECT_EQ(file_text(), expected);
  }
}

TEST_F(ChannelTest, FileOf130CharactersInShortLinesHoldsTwoCrs) {
  start_file_run();
  for (int i = 0; i < 65; ++i) emit("go");
  const std::string text = file_text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 2);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 0);
  EXPECT_EQ(text.size(), 132u);

  start_file_run();
  emit(std::string(130, '*'));
  EXPECT_EQ(file_text(), std::string(130, '*'));
}

TEST_F(ChannelTest, FileIsTruncatedAtTheFirstLineOfARunAndKeptOpen) {
  dir.write("out.tpx", "old program that is longer");
  start_file_run();
  emit("X01000*");
  EXPECT_TRUE(channel.program_file.is_open());
  EXPECT_TRUE(channel.output_started);
  emit("Y01000*");
  EXPECT_EQ(file_text(), "X01000*Y01000*");
  EXPECT_EQ(host.panel_writes, 0);
  EXPECT_TRUE(host.digits.empty());  // the display digits are left alone while writing a file

  // The next run starts the file again.
  channel.output_started = false;
  emit("Z00100*");
  EXPECT_EQ(file_text(), "Z00100*");
}

TEST_F(ChannelTest, FileThatCannotBeOpenedIsAnErrorAndTheNextLineTriesAgain) {
  start_file_run();
  channel.program_file_name = dir.file("missing/out.tpx");
  emit("X01000*");
  EXPECT_TRUE(channel.error_text.starts_with("[Invia:]Errore  75   ")) << channel.error_text;
  EXPECT_EQ(channel.error_count, 1);
  EXPECT_EQ(channel.line, "X01000*");
  EXPECT_FALSE(channel.output_started);

  channel.program_file_name = dir.file("out.tpx");
  emit("X01000*");
  EXPECT_EQ(file_text(), "X01000*");
}

TEST_F(ChannelTest, AFullDiskIsReportedWhenTheProgramFileIsClosed) {
  start_file_run();
  channel.program_file_name = "/dev/full";
  emit("X01000*");
  EXPECT_EQ(channel.error_count, 0);  // still in the buffer
  try {
    close_program_file(context);
    FAIL() << "a lost program reported as written";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), err::kDeviceIo);
  }
  EXPECT_FALSE(channel.program_file.is_open());
}

// A long program is written in blocks as it goes, each while the next one fills: a block the disk
// refuses is an error of the line that hands on the block after it, and the file is not closed as if
// it were whole.
TEST_F(ChannelTest, ABlockTheDiskRefusesIsAnErrorAndTheCloseFailsToo) {
  start_file_run();
  channel.program_file_name = "/dev/full";
  const std::string line(1000, 'X');
  for (int i = 0; i < 2200 && channel.error_count == 0; ++i) emit(line);
  EXPECT_EQ(channel.error_count, 1);
  EXPECT_TRUE(channel.error_text.starts_with("[Invia:]Errore  57   ")) << channel.error_text;
  EXPECT_THROW(close_program_file(context), RunError);
}

// The blocks are written while the next ones fill: a program of several blocks, with pieces of every
// size across their borders and one longer than a block, comes back byte for byte in order.
TEST(ProgramFileBlocks, AProgramOfManyBlocksIsWrittenWholeAndInOrder) {
  test::TempDir dir;
  ProgramFile file;
  file.open(dir.file("long.tpx"));
  std::string written;
  const auto put = [&](const std::string& piece) {
    file.write(piece);
    written += piece;
  };
  for (std::size_t i = 0; written.size() < 2 * ProgramFile::kBlockSize + 12345; ++i)
    put(std::string(1 + i % 37, static_cast<char>('A' + i % 26)));
  put(std::string(ProgramFile::kBlockSize + 7, 'z'));
  for (int i = 0; i < 1000; ++i) put(std::to_string(i));
  file.close();
  EXPECT_EQ(dir.read("long.tpx"), written);
}

TEST_F(ChannelTest, FileSinkAfterTheFileWasClosedIsAnError) {
  start_file_run();
  emit("X01000*");
  close_program_file(context);
  emit("Y01000*");
  EXPECT_TRUE(channel.error_text.starts_with("[Invia:]Errore  52   ")) << channel.error_text;
}

// The in-memory view appends and colours in one step each; what it leaves (text, selection, colour
// record) is what the selection steps every view knows leave.
TEST(MemoryTextViewSteps, OneStepEditsLeaveWhatTheSelectionStepsLeave) {
  struct Case {
    const char* text;
    long sel_start, sel_length;  // where the selection stood before
    const char* appended;        // appended when not null, else the colouring below
    long start, length;
  } cases[] = {
      {"", 0, 0, "F45Z00800*", 0, 0},      {"X01000*", 2, 3, "pc", 0, 0},  {"abc", 3, 0, "", 0, 0},
      {"F45S12RX01234*", 0, 0, nullptr, 6, 1}, {"F45", 1, 1, nullptr, 2, 9}, {"F45", 0, 0, nullptr, 7, 2},
      {"F45", 2, 0, nullptr, -4, 2},
  };
  for (const Case& c : cases) {
    test::FakeTextView one_step, by_steps;
    for (test::FakeTextView* view : {&one_step, &by_steps}) {
      view->set_text(c.text);
      view->sel_start = c.sel_start;
      view->sel_length = c.sel_length;
    }
    if (c.appended) {
      one_step.append(c.appended);
      by_steps.TextView::append(c.appended);
    } else {
      one_step.colour(c.start, c.length, {1, 2, 3});
      by_steps.TextView::colour(c.start, c.length, {1, 2, 3});
    }
    EXPECT_EQ(one_step.content(), by_steps.content()) << c.text;
    EXPECT_EQ(one_step.sel_start, by_steps.sel_start) << c.text;
    EXPECT_EQ(one_step.sel_length, by_steps.sel_length) << c.text;
    EXPECT_EQ(one_step.colours, by_steps.colours) << c.text;
  }
}

TEST_F(ChannelTest, TextViewColoursTheTokensOfTheAppendedLine) {
  using Range = test::FakeTextView::ColourRange;
  use("rtf", "com1");
  channel.program_file_name = "/home/op/board.tpx";
  host.output.take_text("left from the last run");
  emit("F45S12");
  EXPECT_EQ(host.output_captions, std::vector<std::string>{"/home/op/board.tpx"});
  EXPECT_EQ(host.output.content(), "F45S12");
  EXPECT_EQ(host.output.colours, (std::vector<Range>{{0, 3, {255, 43, 1}}, {3, 3, {0, 105, 230}}}));

  host.output.colours.clear();
  emit("RX01234*");
  EXPECT_EQ(host.output.content(), "F45S12RX01234*");
  EXPECT_EQ(host.output.colours, (std::vector<Range>{{6, 1, {82, 123, 0}}}));

  host.output.colours.clear();
  emit("zs00100*pbP1 go0zlF04F05");
  std::vector<std::string> coloured;
  for (const Range& r : host.output.colours) coloured.push_back(host.output.coloured_text(r));
  EXPECT_EQ(coloured, (std::vector<std::string>{"F04", "zs", "pb", "zl", "P1", "go"}));

  host.output.colours.clear();
  emit("");
  EXPECT_EQ(host.output.content(), "F45S12RX01234*zs00100*pbP1 go0zlF04F05");
  EXPECT_TRUE(host.output.colours.empty());
  EXPECT_EQ(host.output_captions.size(), 1u);
  EXPECT_EQ(port.written, "");
}

TEST_F(ChannelTest, TextViewPausesTheRunAfterADoubtfulLine) {
  use("rtf", "com1");
  set(Slot::ena_correzione_coord, "0");
  host.job_controls[JobControl::text_view] = false;
  emit("X0-100*");
  EXPECT_EQ(host.panels[5], "[Invia:] segno negativo X(tot errors= 1)");
  EXPECT_TRUE(channel.pause);
  EXPECT_TRUE(host.pause_alert);
  EXPECT_TRUE(host.job_controls[JobControl::text_view]);
  EXPECT_EQ(channel.error_text, "");
  EXPECT_EQ(channel.line, "");

  host.on_wait = [&] {
    EXPECT_EQ(host.output.content(), "X0-100*");
    if (host.waits == 2) channel.pause = false;
  };
  emit("X00100*");
  EXPECT_EQ(host.output.content(), "X0-100*X00100*");
  EXPECT_FALSE(channel.pause);
}

TEST_F(ChannelTest, TextViewReopensTheOutputWindowWhenItWasClosed) {
  use("rtf", "com1");
  channel.program_file_name = "board.tpx";
  emit("X00100*");
  host.output_open = false;
  emit("Y00100*");
  EXPECT_EQ(host.output_captions.size(), 2u);
  EXPECT_EQ(host.output.content(), "X00100*Y00100*");
}

}  // namespace
}  // namespace vireo
