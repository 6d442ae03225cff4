// The firmware update (`mnuHelpboot`): the operator picks a firmware file, the serial port is
// released and the external loader `fwflash` is started with the port and the file.
#pragma once

#include <string>
#include <string_view>

namespace vireo {

struct Context;

// The filter of the firmware-file dialog.
inline constexpr std::string_view kFirmwareFilter = "files firmware (*.s19)|*.s19|Tutti i files (*.*)|*.*|";

// The loader's command line: "fwflash", two blanks, the port number, ":D", a blank and the file:
// "fwflash  12:D /fw/kora.s19" for "com12". The whole port number is passed.
std::string firmware_command_line(std::string_view device, std::string_view firmware_path);

// Asks whether to update, checks that the device is a serial port, lets the operator open the
// firmware file as the document, asks to switch the controller off, closes the serial port and starts
// the loader. The caller applies the settings again afterwards, which reopens the port also when the
// loader could not be started.
void update_firmware(Context& context);

}  // namespace vireo
