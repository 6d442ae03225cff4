#include "base/number_text.h"
#include "link/serial_events.h"

#include <functional>

#include <gtest/gtest.h>

#include "core/context.h"
#include "tests/support/fake_host.h"
#include "tests/support/fake_serial_port.h"

namespace vireo {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The worked reply: X 500, Y 100, Z 0, A, B, C 0, feed 4, spindle 12.
const std::string kFrame16("\x01\xF4\x00\x64\x00\x00\x00\x00\x00\x00\x00\x00\x04\x0C", 14);

std::string frame32(std::uint32_t x, std::uint32_t a, int feed, int spindle) {
  std::string f;
  for (std::uint32_t v : {x, 0u, 0u, a, 0u, 0u})
    for (int shift = 24; shift >= 0; shift -= 8) f += static_cast<char>(v >> shift & 0xFF);
  return f + static_cast<char>(feed) + static_cast<char>(spindle);
}

// A context with a fake host and port, fed with received bytes on a clock of its own.
struct Receiver {
  test::FakeHost host;
  test::FakeSerialPort port;
  Context context{host};
  Clock::time_point now = Clock::now();
  int decoded = 0, discarded = 0;

  Receiver() { context.serial = &port; }
  void set(Slot slot, std::string text) { context.settings.set_text(slot, std::move(text)); }
  // Feeds the bytes as received events `gap` after the last event, the bytes themselves 10 ms apart.
  void receive(std::string_view bytes, milliseconds gap = milliseconds(10)) {
    now += gap - milliseconds(10);
    for (char c : bytes) {
      now += milliseconds(10);
      const FrameOutcome outcome = on_comm_event(context, {comm_event::kReceive, std::string(1, c), now});
      decoded += outcome == FrameOutcome::decoded;
      discarded += outcome == FrameOutcome::discarded;
    }
  }
  std::string shown() const {
    const DisplayState& d = context.display;
    std::string shown;
    for (double v : {d.display_x, d.display_y, d.display_z, d.display_f, d.display_s, d.display_a})
      shown += number_text(v) + "|";
    return shown + number_text(d.display_c);
  }
};

struct FrameCase {
  const char* name;
  std::function<void(Receiver&)> run;
  int decoded;
  std::string shown;  // X|Y|Z|F|S|A|C after the run
};

TEST(SerialEvents, FramesAndTheGapRule) {
  const FrameCase cases[] = {
      {"the worked 16-bit frame", [](Receiver& t) { t.set(Slot::quote32bit, "0"), t.receive(kFrame16); }, 1,
       "500|100|0|4|12|0|0"},
      {"10 bytes, 3 s of silence, a full frame",
       [](Receiver& t) {
         t.set(Slot::quote32bit, "0");
         t.receive(std::string(10, '\x7F'));
         t.receive(kFrame16, std::chrono::seconds(3));
       },
       1, "500|100|0|4|12|0|0"},
      {"a pause under 3 whole seconds keeps the partial frame",
       [](Receiver& t) {
         t.set(Slot::quote32bit, "0");
         t.receive(kFrame16.substr(0, 10));
         t.receive(kFrame16.substr(10), milliseconds(2900));
       },
       1, "500|100|0|4|12|0|0"},
      {"quote32bit on: 14 bytes decode nothing", [](Receiver& t) { t.receive(kFrame16); }, 0, "0|0|0|0|0|0|0"},
      {"quote32bit on: 26 bytes decode once, rotary axes in hundredths of a degree",
       [](Receiver& t) {
         t.set(Slot::Step_giro_A, "400");
         t.receive(frame32(123456, 100, 99, 3));
       },
       1, "123456|0|0|99|3|9000|0"},
      {"a step count of 0 per turn shows 0",
       [](Receiver& t) {
         t.set(Slot::Step_giro_A, "abc");
         t.receive(frame32(1, 100, 0, 0));
       },
       1, "1|0|0|0|0|0|0"},
      {"a 32-bit value of 2^31 or more discards the frame",
       [](Receiver& t) {
         t.receive(frame32(7, 0, 1, 1));
         t.receive(frame32(0x80000000u, 0, 2, 2));
       },
       1, "7|0|0|1|1|0|0"},  // discarded, counted below
      {"an overrun mid-frame clears the partial frame",
       [](Receiver& t) {
         t.set(Slot::quote32bit, "0");
         t.receive(kFrame16.substr(0, 5));
         on_comm_event(t.context, {comm_event::kOverrun, "", t.now});
         t.receive(kFrame16);
       },
       1, "500|100|0|4|12|0|0"},
      {"display correction: 16-bit values keep their fraction",
       [](Receiver& t) {
         t.set(Slot::quote32bit, "0"), t.set(Slot::ena_correzione_display, "1");
         t.set(Slot::display_corr_x, "0.5"), t.set(Slot::display_corr_y, "2");
         t.receive(std::string("\x00\x03\x00\x64", 4) + kFrame16.substr(4));
       },
       1, "1.5|200|0|4|12|0|0"},
      {"display correction: 32-bit values are cut to whole numbers, C rounded",
       [](Receiver& t) {
         t.set(Slot::ena_correzione_display, "1"), t.set(Slot::display_corr_x, "0.5");
         t.set(Slot::display_corr_c, "2.5"), t.set(Slot::Step_giro_C, "1");
         std::string f = frame32(3, 0, 0, 0);
         f[23] = 1;  // C = 1 step, corrected to 2 (2.5 rounded to the even neighbour)
         t.receive(f);
       },
       1, "1|0|0|0|0|0|72000"},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(c.name);
    Receiver t;
    c.run(t);
    EXPECT_EQ(t.decoded, c.decoded);
    EXPECT_EQ(t.shown(), c.shown);
    EXPECT_EQ(t.host.digits.size(), 8u * static_cast<std::size_t>(c.decoded));
    EXPECT_EQ(t.context.receive.discarded_frames, t.discarded);
  }
}

TEST(SerialEvents, ErrorEventsTellTheOperator) {
  const std::pair<int, std::string> cases[] = {
      {comm_event::kEndOfFile, "Raggiunta la fine del file"},
      {comm_event::kBreak, "Ricevuta interruzione"},
      {comm_event::kCtsTimeout, "Timeout CTS"},
      {comm_event::kDsrTimeout, "Timeout DSR"},
      {comm_event::kCdTimeout, "Timeout Carrier Detect"},
      {comm_event::kParity, "Errore di parit\xE0"},
      {comm_event::kTransmitFull, "Buffer di trasmissione pieno"},
      {comm_event::kDcb, "Errore durante il recupero di DCB"},
      {1005, "Errore o evento sconosciuto"},
  };
  for (const auto& [code, message] : cases) {
    Receiver t;
    on_comm_event(t.context, {code, "", t.now});
    EXPECT_EQ(t.host.messages, std::vector<std::string>{message}) << code;
  }
  Receiver quiet;
  for (int code : {comm_event::kSend, comm_event::kCtsChange, comm_event::kDsrChange, comm_event::kCdChange,
                   comm_event::kRing, comm_event::kFraming, comm_event::kOverrun, comm_event::kReceiveOverflow})
    on_comm_event(quiet.context, {code, "", quiet.now});
  EXPECT_TRUE(quiet.host.messages.empty());
}

TEST(SerialEvents, AnOverflowEmptiesThePortsInput) {
  Receiver t;
  t.port.receive("abc", t.now);
  t.receive("12345");
  on_comm_event(t.context, {comm_event::kReceiveOverflow, "", t.now});
  EXPECT_EQ(t.context.receive.rx_count, 0u);
  EXPECT_EQ(t.port.input_clears, 1);
  EXPECT_TRUE(t.port.incoming.empty());
}

TEST(SerialEvents, ACaptureKeepsEveryByteUpToTheBufferAndNeverDecodes) {
  Receiver t;
  t.context.receive.capture = true;
  const std::string reply = kFrame16 + std::string(3000, 'A');
  t.receive(reply, std::chrono::seconds(5));
  const ReceiveState& r = t.context.receive;
  EXPECT_EQ(r.rx_count, ReceiveState::kBufferSize);
  EXPECT_EQ(std::string(r.rx_buffer.begin(), r.rx_buffer.begin() + 14), kFrame16);
  EXPECT_EQ(r.rx_buffer.back(), 'A');
  EXPECT_EQ(t.decoded, 0);
  EXPECT_EQ(r.last_rx_time, t.now);
}

}  // namespace
}  // namespace vireo
