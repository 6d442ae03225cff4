// What the setup dialog `frmsetup` holds and does with files: the 200 texts of its controls, the hints
// of the tool descriptions, and opening, saving, "load setup" and "Save As". Setup files live in the
// program directory: a file chosen elsewhere is taken by its name only.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "app/setup_dialog_rules.h"

namespace vireo {

struct Context;

// The hint a tool description box carries until the operator gives it one (Ctrl+C).
inline constexpr std::string_view kDescriptionHintPrompt = "se metti FIDUCIALS va + s\xF9 di 5mm";
inline constexpr std::string_view kDescriptionHintTitle = "Input commento";

class SetupForm {
 public:
  // The controls as designed: the default texts of a fresh setup file.
  SetupForm();

  SetupTexts texts;
  // The hints of the eight tool description boxes; the fourth one is kept in slot 180.
  std::array<std::string, 8> description_hints;
  // Set by "load setup": opening then also fills the immediate-command window's lines and hints.
  bool immediate_fill = false;

  // Opening: reads the setup file at the context's setup path into the controls. A file that cannot
  // be read is replaced by the controls' current texts (the defaults), then read again; a file that
  // exists but is damaged is first kept beside it as "<name>.bad", so nothing the operator set is
  // lost. Returns an error text, empty when the controls hold the file.
  std::string open(Context& context);

  // Saving (OK, Apply): writes the controls to the setup path. The immediate-command lines and hints
  // come from that window when it is there; slot 180 from the fourth description's hint. Returns an
  // error text, empty on success.
  std::string save(Context& context);

  // "load setup" with the file the operator chose: the setup path becomes the program directory and the
  // chosen name, then Opening runs again with the immediate-command window filled too.
  std::string load_setup(Context& context, const std::filesystem::path& chosen);

  // "Save As..." with the name the operator chose: the setup path changes as for "load setup", then
  // the controls are saved there.
  std::string save_as(Context& context, const std::filesystem::path& chosen);

 private:
  void use_setup_name(Context& context, const std::filesystem::path& chosen);
};

}  // namespace vireo
