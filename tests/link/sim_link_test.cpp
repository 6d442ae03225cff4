// The whole link: lines emitted to "com1", mapped to the simulator's pseudo-terminal, arrive in the
// simulator's log, and its position frame comes back through the port.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "base/number_text.h"
#include "core/context.h"
#include "link/devices/posix_serial_port.h"
#include "link/machine_link.h"
#include "link/output_channel.h"
#include "link/serial_events.h"
#include "tests/support/background_process.h"
#include "tests/support/fake_host.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

struct SimLinkTest : ::testing::Test {
  test::TempDir dir;
  test::FakeHost host;
  Context context{host};
  std::unique_ptr<PosixSerialPort> port;

  // Starts the simulator and opens "com1" on its terminal as the applied settings do.
  std::unique_ptr<test::BackgroundProcess> start(std::vector<std::string> args) {
    args.insert(args.begin(), {"--log", dir.file("sim.log")});
    auto sim = std::make_unique<test::BackgroundProcess>(VIREO_SIM, args);
    const std::optional<std::string> path = sim->read_line(std::chrono::seconds(5));
    if (!path) return nullptr;
    PortMap ports;
    ports.set(1, *path);
    port = std::make_unique<PosixSerialPort>(ports);
    context.serial = port.get();
    context.settings.set_text(Slot::s_periferica, "com1");
    context.settings.set_text(Slot::ritardo_dsr, "1");
    derive_settings(context.settings, context.derived);
    if (auto failure = open_machine_link(context)) {
      ADD_FAILURE() << failure->description();
      return nullptr;
    }
    context.channel.sink = "periferica";
    context.display.force_z = context.display.force_f = true;
    return sim;
  }
  void emit(const std::string& line) {
    emit_line(context, line);
  }
  std::string reply(std::size_t size) {
    std::string bytes;
    test::wait_until([&] { return port->read_available(bytes) && bytes.size() >= size; }, std::chrono::seconds(5));
    return bytes;
  }
};

TEST_F(SimLinkTest, EmittedLinesArriveInTheSimulatorsLogExactly) {
  auto sim = start({});
  ASSERT_TRUE(sim);
  for (const char* line : {"F45Z00000*", "F45S12", "X01000Y02000*", "F04Z00900*", "X02000*", "Z00900*"}) emit(line);
  emit("ga1 ge ga0");
  EXPECT_EQ(context.channel.error_count, 0) << context.channel.error_text;

  // The encoder dropped the repeated feed code and the Z move to the Z already reached.
  const std::string expected = "F45Z00000*\nS12X01000Y02000*\nF04Z00900*\nX02000*\n*\nga1 ge ga0\n";
  EXPECT_TRUE(test::wait_until([&] { return dir.read("sim.log").size() >= expected.size(); },
                               std::chrono::seconds(5)));
  EXPECT_EQ(dir.read("sim.log"), expected);
  EXPECT_EQ(reply(14), std::string("\x07\xD0\x07\xD0\x03\x84\x00\x00\x00\x00\x00\x00\x04\x0C", 14));

  emit("P1 S00 F45");
  EXPECT_EQ(sim->stop(), 0);
  EXPECT_EQ(dir.read("sim.log"), expected + "P1 S00 F45\n");  // the unfinished piece, at the end
}

TEST_F(SimLinkTest, WideFramesWith32bit) {
  auto sim = start({"--32bit"});
  ASSERT_TRUE(sim);
  emit("X70000*");
  emit("ga1 ge ga0");
  EXPECT_EQ(reply(26).substr(0, 4), std::string("\x00\x01\x11\x70", 4));
}

// The simulator breaks its reply off after 10 bytes and sends the whole frame after a silence: a
// silence of more than two seconds throws the broken piece away, a short one joins it to the frame.
TEST_F(SimLinkTest, ABrokenOffReplyIsThrownAwayAfterTheGap) {
  struct Case {
    const char* pause_ms;
    std::string feed_spindle;  // shown once a frame's worth came
    std::size_t left;          // bytes of a next frame already received
  } cases[] = {{"3500", "4 12", 0}, {"300", "7 208", 10}};  // 07 D0 is Y 2000
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pause_ms);
    auto sim = start({"--partial", "10", "--partial-pause", c.pause_ms});
    ASSERT_TRUE(sim);
    context.settings.set_text(Slot::quote32bit, "0");
    context.display = DisplayState{};
    emit("F04S12X01000Y02000*");
    emit("ga1 ge ga0");
    host.digits.clear();
    // Every event is taken as it comes, as the program's event loop takes them.
    test::wait_until(
        [&] {
          take_serial_events(context);
          return !host.digits.empty() && context.receive.rx_count == c.left;
        },
        std::chrono::seconds(6));
    EXPECT_EQ(number_text(context.display.display_f) + " " + number_text(context.display.display_s), c.feed_spindle);
    EXPECT_EQ(context.receive.rx_count, c.left);
    EXPECT_EQ(host.digits.size(), 8u);
    EXPECT_EQ(sim->stop(), 0);
  }
}

// The simulator still ran 5 s after SIGTERM while a sender kept writing (it took input until the
// terminal was quiet, which never came), and 100 MB without "*" grew it by 100 MB. Input is taken for
// at most a second after the signal, and a command of 64 kB without "*" is dropped and logged.
TEST(SimProcess, EndsWhileASenderKeepsWritingAndDropsEndlessCommands) {
  test::TempDir dir;
  test::BackgroundProcess sim(VIREO_SIM, {"--log", dir.file("sim.log")});
  const std::optional<std::string> path = sim.read_line(std::chrono::seconds(5));
  ASSERT_TRUE(path);
  const int fd = ::open(path->c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::atomic<bool> writing = true;
  std::thread sender([&] {
    const std::string block(4096, 'a');
    while (writing && ::write(fd, block.data(), block.size()) > 0) {
    }
  });
  EXPECT_TRUE(test::wait_until([&] { return dir.read("sim.log").find("(dropped 65536 characters without \"*\")\n") !=
                                            std::string::npos; },
                               std::chrono::seconds(10)));
  const auto signalled = std::chrono::steady_clock::now();
  EXPECT_EQ(sim.stop(std::chrono::seconds(4)), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(3));
  writing = false;  // the terminal is gone with the simulator: the last write fails
  sender.join();
  ::close(fd);
}

}  // namespace
}  // namespace vireo
