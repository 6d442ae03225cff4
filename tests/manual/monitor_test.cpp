#include "manual/monitor.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "link/machine_link.h"
#include "tests/manual/simulated_port.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

using namespace std::chrono_literals;

struct MonitorTest : ::testing::Test {
  test::FakeHost host;
  Context ctx{host};
  std::chrono::steady_clock::time_point clock{};
  test::FakeSerialPort port;
  long turns = 0;

  void SetUp() override {
    ctx.serial = &port;
    ctx.settings.set_text(Slot::s_periferica, "com1");
    ctx.settings.set_text(Slot::ritardo_dsr, "0");
    derive_settings(ctx.settings, ctx.derived);
    ASSERT_FALSE(open_machine_link(ctx));
  }
  // Every turn of the event loop takes 100 ms; `talk` says what the controller sends in that turn.
  std::string read(std::function<std::string(long turn)> talk) {
    host.on_wait = [this, talk] {
      clock += 100ms;
      port.receive(talk(turns++), clock);
    };
    return read_monitor(ctx, [this] { return clock; });
  }
};

TEST_F(MonitorTest, TenBytesThenSilenceShowExactlyThoseAfterTwoSeconds) {
  const std::string text = read([](long turn) { return turn == 0 ? std::string("AB\x01" "CDEFGH\xFF", 10) : ""; });
  EXPECT_EQ(text, std::string("AB\x01" "CDEFGH\xFF", 10));
  EXPECT_EQ(port.written, "$");
  EXPECT_EQ(turns, 21);  // silent from 100 ms to 2100 ms
  EXPECT_FALSE(ctx.receive.capture);
  EXPECT_TRUE(ctx.channel.suppress);
  EXPECT_EQ(port.input_clears, 1);
}

TEST_F(MonitorTest, AControllerThatKeepsTalkingIsReadUntilItPausesAndKeptTo2001Bytes) {
  const std::string text = read([](long turn) { return turn < 50 ? std::string(100, 'x') : ""; });
  EXPECT_EQ(text, std::string(2001, 'x'));
  EXPECT_EQ(turns, 70);
}

TEST_F(MonitorTest, ClosingTheMonitorEndsTheRead) {
  const std::string text = read([this](long turn) {
    if (turn == 3) monitor_closed(ctx);
    return std::string("ab");
  });
  EXPECT_EQ(text, "abababab");
  EXPECT_EQ(turns, 4);
}

TEST_F(MonitorTest, NoAnswerEndsEmpty) {
  EXPECT_EQ(read([](long) { return ""; }), "");
  EXPECT_EQ(turns, 20);
}

}  // namespace
}  // namespace vireo
