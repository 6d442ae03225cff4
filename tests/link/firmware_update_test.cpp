#include "link/firmware_update.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "tests/support/fake_host.h"
#include "tests/support/fake_serial_port.h"

namespace vireo {
namespace {

// A host whose file-open command picks a firmware file (or is cancelled) and that records the
// programs it starts.
class FirmwareHost : public test::FakeHost {
 public:
  Context* context = nullptr;
  std::string chosen_file;  // "" cancels the file dialog
  std::string start_error;  // what starting the loader answers
  std::vector<std::string> filters;
  std::vector<std::string> started;

  bool open_document_with_filter(std::string_view filter) override {
    filters.emplace_back(filter);
    if (chosen_file.empty()) return false;
    context->workspace.last_document = chosen_file;
    return true;
  }
  std::string start_program(std::string_view command_line) override {
    started.emplace_back(command_line);
    return start_error;
  }
};

TEST(FirmwareCommandLine, CarriesTheWholePortNumber) {
  EXPECT_EQ(firmware_command_line("com1", "C:\\fw\\a.s19"), "fwflash  1:D C:\\fw\\a.s19");
  EXPECT_EQ(firmware_command_line("com12", "/fw/kora 2.s19"), "fwflash  12:D /fw/kora 2.s19");
}

TEST(FirmwareUpdate, EachAnswerAndDevice) {
  struct Case {
    const char* name;
    const char* device;
    std::vector<bool> answers;
    const char* file;
    const char* start_error;
    std::vector<std::string> messages;
    const char* started;  // "" when no loader started
    bool port_open;
  };
  const std::string first = "aggiornamento firmware CNC, ricerca file Kora_xx.S19";
  const std::string second = " SPEGNERE la CNC, poi premi 'S\xEC' e poi RIACCENDI la CNC";
  const std::string closing = "prima di cliccare qu\xEC\rchiudi l'eventuale \rfinestra Dos aperta";
  const Case cases[] = {
      {"no to the first question", "com1", {false}, "/fw/k.s19", "", {first}, "", true},
      {"not a serial port", "dummy", {true}, "/fw/k.s19", "", {first, "selezionare in 'setup' una porta COM valida"}, "",
       true},
      {"ISA card", "isa300", {true}, "/fw/k.s19", "", {first, "selezionare in 'setup' una porta COM valida"}, "",
       true},
      {"file dialog cancelled", "com1", {true, true}, "", "", {first}, "", true},
      {"no to the second question", "com1", {true, false}, "/fw/k.s19", "", {first, second}, "", true},
      {"loaded on com1", "com1", {true, true}, "/fw/k.s19", "", {first, second, closing}, "fwflash  1:D /fw/k.s19",
       false},
      {"loaded on com12", "com12", {true, true}, "/fw/k.s19", "", {first, second, closing},
       "fwflash  12:D /fw/k.s19", false},
      {"loader missing", "com2", {true, true}, "/fw/k.s19", "fwflash non trovato",
       {first, second, "[firmware:]fwflash non trovato"}, "fwflash  2:D /fw/k.s19", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FirmwareHost host;
    Context context(host);
    host.context = &context;
    test::FakeSerialPort port;
    context.serial = &port;
    ASSERT_TRUE(port.open(1, 38400));
    context.settings.set_text(Slot::s_periferica, c.device);
    host.yes_no_answers.assign(c.answers.begin(), c.answers.end());
    host.chosen_file = c.file;
    host.start_error = c.start_error;
    update_firmware(context);
    EXPECT_EQ(host.messages, c.messages);
    EXPECT_EQ(host.started, std::string(c.started).empty() ? std::vector<std::string>{}
                                                            : std::vector<std::string>{c.started});
    EXPECT_EQ(port.is_open(), c.port_open);
    for (const std::string& filter : host.filters) EXPECT_EQ(filter, kFirmwareFilter);
  }
}

}  // namespace
}  // namespace vireo
