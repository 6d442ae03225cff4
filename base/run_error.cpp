#include "base/run_error.h"

namespace vireo {

std::string error_message(std::string_view tag, int number, std::string_view description, ErrorLayout layout) {
  std::string text(tag);
  text += "Errore ";
  if (layout.blank_before_number && number >= 0) text += ' ';
  text += std::to_string(number);
  text += layout.separator;
  text += description;
  return text;
}

}  // namespace vireo
