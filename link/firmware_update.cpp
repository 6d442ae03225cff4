#include "link/firmware_update.h"

#include "core/context.h"

namespace vireo {

std::string firmware_command_line(std::string_view device, std::string_view firmware_path) {
  const std::string_view number = device.size() > 3 ? device.substr(3) : std::string_view{};
  std::string line = "fwflash ";
  line += " ";
  line += number;
  line += ":D ";
  line += firmware_path;
  return line;
}

void update_firmware(Context& context) {
  Host& host = *context.host;
  if (!host.ask_yes_no("aggiornamento firmware CNC, ricerca file Kora_xx.S19")) return;
  const std::string& device = context.settings.text(Slot::s_periferica);
  if (device.compare(0, 3, "com") != 0) {
    host.message_box("selezionare in 'setup' una porta COM valida");
    return;
  }
  // A cancelled file dialog ends the update: the last document is not a firmware file.
  if (!host.open_document_with_filter(kFirmwareFilter)) return;
  if (!host.ask_yes_no(" SPEGNERE la CNC, poi premi 'S\xEC' e poi RIACCENDI la CNC")) return;
  const std::string command_line = firmware_command_line(device, context.workspace.last_document);
  if (context.serial) context.serial->close();
  if (std::string error = host.start_program(command_line); !error.empty()) {
    host.message_box("[firmware:]" + error);
    return;
  }
  host.message_box("prima di cliccare qu\xEC\rchiudi l'eventuale \rfinestra Dos aperta");
}

}  // namespace vireo
