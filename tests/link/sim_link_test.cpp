// The whole link: lines emitted to "com1", mapped to the simulator's pseudo-terminal, arrive in the
// simulator's log, and its position frame comes back through the port.
#include <poll.h>

#include <gtest/gtest.h>

#include "core/context.h"
#include "link/devices/posix_serial_port.h"
#include "link/machine_link.h"
#include "link/output_channel.h"
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

}  // namespace
}  // namespace vireo
