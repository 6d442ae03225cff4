#include "convert/senders.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "core/line_sink.h"
#include "tests/support/fake_host.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/fake_text_view.h"

namespace vireo {
namespace {

using Lines = std::vector<std::string>;

// The opening and closing sequences of a send with the default settings.
const Lines kOpening = {"F45Z00000*", "F45S12"};
const Lines kClosing = {"go0", "F45Z00000*", "F45S00 "};

Lines framed(const Lines& commands) {
  Lines lines = kOpening;
  lines.insert(lines.end(), commands.begin(), commands.end());
  lines.insert(lines.end(), kClosing.begin(), kClosing.end());
  return lines;
}

struct SendTest : ::testing::Test {
  test::FakeHost host;
  test::FakeTextView document;
  test::FakeSerialPort port;
  RecordingSink recorded;  // the channel's listener, made before the context so that it outlives it
  Context context{host};

  void SetUp() override {
    host.document = &document;
    context.channel.listener = &recorded;
    context.serial = &port;
    port.open(1, 38400);
    set(Slot::s_periferica, "com1");
    context.channel.sink = "file (.tpx)";  // the senders go to the machine whatever the sink
  }
  void set(Slot slot, std::string text) {
    context.settings.set_text(slot, std::move(text));
    derive_settings(context.settings, context.derived);
  }
  bool send(const std::string& caption, std::string text) {
    host.caption = caption;
    document.set_text(text);
    return caption.ends_with("raw") || caption.ends_with("RAW") ? send_raw(context) : send_program(context);
  }
};

TEST_F(SendTest, ProgramIsCutIntoCommandsAndFramed) {
  struct Row {
    const char* name;
    std::string text;
    Lines commands;
    double counted;
  };
  const Row rows[] = {
      {"line ends dropped", "X01000*\r\nY02000*", {"X01000*", "Y02000*"}, 2},
      {"feed travels with its move", "F04\rX01000\nY02000*Z0\r\n1000*", {"F04X01000Y02000*", "Z01000*"}, 2},
      // The last command without "*" is completed by the closing sequence.
      {"missing final star", "X01000*Y02000", {"X01000*", "Y02000*"}, 1},
      // Line ends after the last "*" are nothing to send.
      {"trailing line end", "X01000*\r\n", {"X01000*"}, 1},
      {"empty program", "", {}, 0},
  };
  for (const Row& row : rows) {
    recorded.lines.clear();
    port.written.clear();
    ASSERT_TRUE(send("C:\\cnc\\pezzo.tpx", row.text)) << row.name;
    EXPECT_EQ(recorded.lines, framed(row.commands)) << row.name;
    EXPECT_EQ(context.channel.line_counter, row.counted) << row.name;
    EXPECT_FALSE(context.channel.direct_to_machine) << row.name;
    EXPECT_EQ(context.channel.document_extension, ".tpx");
  }
  // A stored program reaches the wire as it is stored.
  EXPECT_EQ(port.written, "F45Z00000*F45S12go0F45Z00000*F45S00 ");
}

TEST_F(SendTest, StatusAndFlagsDuringTheSend) {
  bool direct_while_sending = false;
  host.on_pump = [&] { direct_while_sending = context.channel.direct_to_machine; };
  context.channel.error_text = "old";
  ASSERT_TRUE(send("C:\\cnc\\pezzo.TPX", "X01000*"));
  EXPECT_TRUE(direct_while_sending);
  EXPECT_EQ(context.channel.operation_text, " SPOST.*  ");
  EXPECT_EQ(context.channel.error_text, "");
  EXPECT_EQ(host.job_controls[JobControl::cancel_button], true);
}

TEST_F(SendTest, WrongDocumentTypesAreRefused) {
  struct Row {
    std::string caption;
    bool raw;
    std::string message;
  };
  const Row rows[] = {
      {"C:\\cnc\\pezzo.gbr", false, "[Toolsinvia:]non e' un file .tpx"},
      {"C:\\cnc.tpx\\pezzo", false, "[Toolsinvia:]non e' un file .tpx"},
      {"C:\\cnc\\pezzo.raw", false, "[Toolsinvia:]non e' un file .tpx"},
      {"C:\\cnc\\pezzo.tpx", true, "[ToolsRaw:]non e' un file .raw"},
  };
  for (const Row& row : rows) {
    host.messages.clear();
    host.caption = row.caption;
    document.set_text("X01000*");
    EXPECT_FALSE(row.raw ? send_raw(context) : send_program(context)) << row.caption;
    EXPECT_EQ(host.messages, Lines{row.message}) << row.caption;
  }
  EXPECT_TRUE(recorded.lines.empty());
  EXPECT_EQ(port.written, "");
}

TEST_F(SendTest, RepeatMarkerRestartsUntilCancelled) {
  long pumps = 0;
  host.on_pump = [&] {
    if (++pumps == 40) context.conversion.abort = true;
  };
  ASSERT_TRUE(send("C:\\cnc\\ciclo.tpx", "X01000*Y02000*@"));
  // Each round opens again; the cancel ends with the closing sequence.
  const Lines round = {"F45Z00000*", "F45S12", "X01000*", "Y02000*"};
  ASSERT_GE(recorded.lines.size(), 2 * round.size() + kClosing.size());
  EXPECT_TRUE(std::equal(round.begin(), round.end(), recorded.lines.begin()));
  EXPECT_TRUE(std::equal(round.begin(), round.end(), recorded.lines.begin() + 4));
  EXPECT_TRUE(std::equal(kClosing.rbegin(), kClosing.rend(), recorded.lines.rbegin()));
  EXPECT_FALSE(context.channel.direct_to_machine);
}

TEST_F(SendTest, CancelWhileReadingTheMarkerIsNotLost) {
  // Raised while the "@" itself is read: the run must end rather than start over with the flag cleared.
  std::size_t reads = 0;
  host.on_pump = [&] {
    if (++reads == 8) context.conversion.abort = true;  // the eighth character read is the "@"
  };
  ASSERT_TRUE(send("C:\\cnc\\ciclo.tpx", "X01000*@X02000*"));
  EXPECT_EQ(recorded.lines, framed({"X01000*"}));
}

TEST_F(SendTest, LoadBoxSendsTheMarker) {
  context.keypad_load_buffer = true;
  ASSERT_TRUE(send("C:\\cnc\\ciclo.tpx", "X01000*@Y02000*"));
  EXPECT_EQ(recorded.lines, framed({"X01000*", "@Y02000*"}));
}

// A document of `size` characters whose bytes alternate 0x55 and 0xAA (a low character is a 1 bit).
std::string raster(std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    const bool even_byte = (i / 8) % 2 == 0;
    const bool low = (i % 2 == 0) == even_byte;
    text += low ? '.' : '\xDB';
  }
  return text;
}

TEST_F(SendTest, RawRasterLines) {
  struct Row {
    std::size_t size;
    long lines;
  };
  const Row rows[] = {{2040, 0}, {2041, 1}, {2047, 1}, {2048, 1}, {4088, 1}, {4089, 2}, {4096, 2}};
  for (const Row& row : rows) {
    recorded.lines.clear();
    port.written.clear();
    context.channel.operation_text.clear();
    ASSERT_TRUE(send("C:\\cnc\\logo.RAW", raster(row.size))) << row.size;
    ASSERT_EQ(static_cast<long>(recorded.lines.size()), row.lines) << row.size;
    EXPECT_EQ(context.channel.line_counter, 256.0 * row.lines) << row.size;
    EXPECT_EQ(port.written.size(), 256u * static_cast<std::size_t>(row.lines)) << row.size;
    EXPECT_FALSE(context.channel.direct_to_machine);
    EXPECT_EQ(host.job_controls[JobControl::text_view], true);
    if (row.lines == 0) continue;
    const std::string& first = recorded.lines[0];
    EXPECT_EQ(static_cast<unsigned char>(first[0]), 0x55u);
    EXPECT_EQ(static_cast<unsigned char>(first[1]), 0xAAu);
    EXPECT_EQ(context.channel.operation_text, " print LINE:  " + std::to_string(row.lines) + " ");
  }
  // 2041 characters: the 256th byte takes one real character and seven missing ones (0 bits).
  send("C:\\cnc\\logo.raw", raster(2040) + ".");
  EXPECT_EQ(static_cast<unsigned char>(recorded.lines.back().back()), 0x01u);
}

TEST_F(SendTest, RawCancelDropsThePartLine) {
  long pumps = 0;
  host.on_pump = [&] {
    if (++pumps == 3000) context.conversion.abort = true;
  };
  ASSERT_TRUE(send("C:\\cnc\\logo.raw", raster(8192)));
  EXPECT_EQ(recorded.lines.size(), 1u);
  EXPECT_EQ(context.channel.line, "");
  EXPECT_FALSE(context.channel.direct_to_machine);
}

TEST_F(SendTest, ReadRawCharsKeepsLineEnds) {
  document.set_text("a\r\nb");
  context.conversion.read_cursor = 0;
  EXPECT_EQ(read_raw_chars(context, document, 2), "a\r");
  EXPECT_EQ(read_raw_chars(context, document, 1), "\n");
  EXPECT_EQ(document.selection_start(), 3);
  EXPECT_EQ(read_raw_chars(context, document, 3), "b");
  EXPECT_EQ(read_raw_chars(context, document, 1), "");
  EXPECT_EQ(context.conversion.read_cursor, 7u);
}

// A machine that vanished in the middle of a run left every later line failing, the run going on to
// its end and the closing sequence tried on the dead port. The first failure stops the run: counted
// once, with its message, and nothing more is written.
TEST_F(SendTest, APortThatFailsStopsTheRunAtTheFirstFailure) {
  long failed_at = -1;  // the DSR reading after which writing fails
  port.dsr_line = [&](long index) {
    if (port.written.size() == 40 && failed_at < 0) {
      port.refuse_write = true;
      failed_at = index;
    }
    return true;
  };
  std::string program;
  for (int i = 0; i < 1000; ++i) program += "X01000*";
  EXPECT_TRUE(send("p.tpx", program));
  EXPECT_EQ(context.channel.error_count, 1);
  EXPECT_EQ(context.channel.error_text, "[Invia:]Errore  57   Device I/O error");
  EXPECT_TRUE(context.conversion.abort);
  // Only the failing character was tried: no other line, and no closing sequence.
  EXPECT_LE(port.dsr_reads - failed_at, std::max(context.derived.dsr_delay, 1));
  EXPECT_EQ(port.written.size(), 40u);

  // The next run tries the port again.
  port.refuse_write = false;
  port.dsr_line = nullptr;
  EXPECT_TRUE(send("q.tpx", "Y02000*"));
  EXPECT_TRUE(port.written.ends_with("Y02000*go0F45Z00000*F45S00 ")) << port.written;
}

}  // namespace
}  // namespace vireo
