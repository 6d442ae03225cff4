#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/context.h"
#include "link/devices/iocard_library.h"
#include "link/devices/posix_serial_port.h"
#include "link/machine_link.h"
#include "link/output_channel.h"
#include "tests/support/background_process.h"
#include "tests/support/fake_host.h"
#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

// A pseudo-terminal: the test holds the controller's side, the port opens the other.
struct Pty {
  int master = -1;
  std::string path;
  Pty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    path = ::ptsname(master);
  }
  ~Pty() { ::close(master); }
  std::string read(std::size_t count) {
    std::string bytes;
    while (bytes.size() < count) {
      pollfd p{master, POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0) break;
      char chunk[256];
      const ssize_t n = ::read(master, chunk, std::min(sizeof chunk, count - bytes.size()));
      if (n <= 0) break;
      bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
  }
};

PortMap map_com(int number, const std::string& path) {
  PortMap ports;
  ports.set(number, path);
  return ports;
}

TEST(PosixSerialPort, WritesReadsAndReadsDsrOnOnAPseudoTerminal) {
  Pty pty;
  PosixSerialPort port(map_com(3, pty.path));
  ASSERT_TRUE(port.open(3, 38400)) << port.error_text;
  EXPECT_EQ(port.path(), pty.path);
  EXPECT_TRUE(port.dsr());
  for (char c : std::string("X01000*")) ASSERT_TRUE(port.write_char(c)) << port.error_text;
  EXPECT_EQ(pty.read(7), "X01000*");

  ASSERT_EQ(::write(pty.master, "\x01\xF4\x00", 3), 3);
  std::string received;
  EXPECT_TRUE(test::wait_until([&] { return port.read_available(received) && received.size() == 3; },
                               std::chrono::seconds(2)));
  EXPECT_EQ(received, std::string("\x01\xF4\x00", 3));
}

TEST(PosixSerialPort, SecondOpenOfTheSamePortIsRefusedClearly) {
  Pty pty;
  PosixSerialPort first(map_com(1, pty.path)), second(map_com(1, pty.path));
  ASSERT_TRUE(first.open(1, 115200));
  EXPECT_FALSE(second.open(1, 115200));
  EXPECT_EQ(second.error_number, 8005);
  EXPECT_NE(second.error_text.find(pty.path), std::string::npos) << second.error_text;
  EXPECT_NE(second.error_text.find("in use"), std::string::npos) << second.error_text;

  // Closing lets it go; opening again after a settings apply works.
  first.close();
  ASSERT_TRUE(second.open(1, 115200)) << second.error_text;
  second.close();
  EXPECT_TRUE(first.open(1, 38400)) << first.error_text;
}

TEST(PosixSerialPort, OpenFailures) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::string path;
    int baud;
    int number;
    const char* text;
  } cases[] = {
      {"missing device", dir.file("ttyS9"), 38400, 8002, "No such file"},
      {"not a terminal", dir.write("plain", "x"), 38400, 8002, "not a serial port"},
      {"unsupported speed", dir.file("ttyS9"), 12345, 5, "12345"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PosixSerialPort port(map_com(2, c.path));
    EXPECT_FALSE(port.open(2, c.baud));
    EXPECT_FALSE(port.is_open());
    EXPECT_EQ(port.error_number, c.number);
    EXPECT_NE(port.error_text.find(c.text), std::string::npos) << port.error_text;
  }
  PosixSerialPort closed;
  EXPECT_FALSE(closed.write_char('x'));
  EXPECT_EQ(closed.error_number, 8012);
}

TEST(PosixSerialPort, AppliedSettingsOpenTheMappedPort) {
  Pty pty;
  test::FakeHost host;
  Context context(host);
  PosixSerialPort port(map_com(17, pty.path));
  context.serial = &port;
  context.settings.set_text(Slot::s_periferica, "com17");
  EXPECT_FALSE(open_machine_link(context));
  EXPECT_TRUE(port.is_open());

  context.settings.set_text(Slot::s_periferica, "com16");  // not mapped here: /dev/ttyS15
  setenv("VIREO_COM16", (pty.path + ".missing").c_str(), 1);
  const auto failure = open_machine_link(context);
  unsetenv("VIREO_COM16");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->number(), 8002);
  EXPECT_FALSE(port.is_open());
}

struct IocardTest : ::testing::Test {
  test::TempDir dir;
  std::string capture = dir.file("card.bin");
  void SetUp() override { setenv("VIREO_IOCARD_CAPTURE", capture.c_str(), 1); }
  void TearDown() override { unsetenv("VIREO_IOCARD_CAPTURE"); }
};

TEST_F(IocardTest, StandInLibraryCapturesTheBytes) {
  IocardLibrary card(VIREO_IOCARD);
  card.write(0x300, 'A');
  card.write(0x310, 0xF7);
  EXPECT_EQ(dir.read("card.bin"), "A\xF7");
}

TEST_F(IocardTest, LibraryIsFoundWithoutAPath) {
  IocardLibrary card;
  card.write(0x300, 'B');
  EXPECT_EQ(dir.read("card.bin"), "B");
}

TEST_F(IocardTest, LoadFailuresAreRunErrors) {
  struct Case {
    const char* name;
    std::string library;
    int base;
    int number;
  } cases[] = {
      {"missing library", dir.file("libiocard.so"), 0x300, 48},
      {"library without the entry point", "libm.so.6", 0x310, 453},
      {"no card at that base", VIREO_IOCARD, 0x320, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IocardLibrary card(c.library);
    try {
      card.write(c.base, 'x');
      ADD_FAILURE() << "no error";
    } catch (const RunError& error) {
      EXPECT_EQ(error.number(), c.number) << error.description();
    }
  }
}

TEST_F(IocardTest, IsaPathDeliversTheEncodedLineThroughTheCard) {
  test::FakeHost host;
  Context context(host);
  IocardLibrary card(VIREO_IOCARD);
  context.isa = &card;
  context.settings.set_text(Slot::s_periferica, "isa300");
  derive_settings(context.settings, context.derived);
  context.channel.sink = "periferica";
  context.channel.document_extension = ".tpx";  // stored programs are encoded again on the card
  context.display.display_f = 45;
  for (const char* line : {"F45X01000*", "Y02000*"}) {
    emit_line(context, line);
  }
  EXPECT_EQ(context.channel.error_count, 0) << context.channel.error_text;
  EXPECT_EQ(dir.read("card.bin"), "X01000*Y02000*");

  IocardLibrary missing(dir.file("nothing.so"));
  context.isa = &missing;
  emit_line(context, "Z00100*");
  EXPECT_EQ(context.channel.error_count, 1);
  EXPECT_TRUE(context.channel.error_text.starts_with("[Invia:]Errore  48   Error in loading DLL")) << context.channel.error_text;
  EXPECT_EQ(context.channel.line, "Z00100*");
}

}  // namespace
}  // namespace vireo
