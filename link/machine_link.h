// Opening the machine link after the settings are applied.
#pragma once

#include <optional>

#include "base/run_error.h"

namespace vireo {

struct Context;

// Closes the serial port and, when the device setting names a port "com1" ... "com24", opens that
// port at `speed_com`, 8N1, without handshaking. ISA cards and the dummy device need no port, so none
// is opened for them. Returns the failure when the port cannot be opened.
std::optional<RunError> open_machine_link(Context& context);

}  // namespace vireo
