#include "link/machine_link.h"

#include "core/context.h"
#include "base/number_text.h"

namespace vireo {

std::optional<RunError> open_machine_link(Context& context) {
  if (context.serial) context.serial->close();
  const std::string& device = context.settings.text(Slot::s_periferica);
  if (device.compare(0, 3, "com") != 0) return std::nullopt;
  const int number = com_port_number(device);
  if (number == 0) return RunError(err::kInvalidPort, "Invalid port number: " + device);
  if (!context.serial) return RunError(err::kPortUnavailable, "no serial port on this system");
  const int baud = static_cast<int>(context.settings.number(Slot::speed_com));
  if (!context.serial->open(number, baud))
    return RunError(context.serial->error_number, context.serial->error_text);
  return std::nullopt;
}

}  // namespace vireo
