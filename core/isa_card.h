// The ISA I/O cards at 300h and 310h, reached through the maker's `iocard` driver library.
#pragma once

#include <cstdint>

namespace vireo {

class IsaCard {
 public:
  virtual ~IsaCard() = default;
  // Puts one character code on the card at `base` (0x300 or 0x310). Throws RunError when the driver
  // library or its entry point cannot be loaded.
  virtual void write(int base, std::int32_t code) = 0;
};

}  // namespace vireo
