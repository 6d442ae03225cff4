#include "core/serial_port.h"

#include <cstdlib>

namespace vireo {

std::string PortMap::path(int number) const {
  if (auto it = overrides_.find(number); it != overrides_.end()) return it->second;
  const std::string variable = "VIREO_COM" + std::to_string(number);
  if (const char* path = std::getenv(variable.c_str()); path && *path) return path;
  return "/dev/ttyS" + std::to_string(number - 1);
}

int com_port_number(const std::string& device) {
  if (device.size() < 4 || device.size() > 5 || device.compare(0, 3, "com") != 0) return 0;
  int number = 0;
  for (std::size_t i = 3; i < device.size(); ++i) {
    if (device[i] < '0' || device[i] > '9') return 0;
    number = number * 10 + (device[i] - '0');
  }
  return number >= 1 && number <= 24 && device[3] != '0' ? number : 0;
}

}  // namespace vireo
