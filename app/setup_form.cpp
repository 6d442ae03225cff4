#include "app/setup_form.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/context.h"
#include "settings/setup_file.h"

namespace vireo {
namespace {

constexpr std::size_t kImmediateFirst = static_cast<std::size_t>(slot_index(Slot::immediate_command));
constexpr std::size_t kImmediateCount = 20;  // ten lines, then their ten hints
constexpr std::size_t kFreeLocation = static_cast<std::size_t>(slot_index(Slot::locazione_disponibile));
constexpr std::size_t kFourthDescription = 3;

SettingsRecord record_of(const SetupTexts& texts) {
  SettingsRecord record;
  for (int i = 0; i < kSlotCount; ++i) record.set_text(i, texts[static_cast<std::size_t>(i)]);
  return record;
}

// Keeps a damaged setup file as "<name>.bad" before a fresh one takes its place. Returns an error
// text when it could not be moved.
std::string keep_damaged_file(Context& context) {
  std::error_code error;
  if (!std::filesystem::exists(context.setup_path, error)) return {};
  std::filesystem::path kept = context.setup_path;
  kept += ".bad";
  std::filesystem::rename(context.setup_path, kept, error);
  if (error) return "[setup:]file " + context.setup_path.string() + " non leggibile: " + error.message();
  context.host->message_box("[setup:]file " + context.setup_path.filename().string() +
                            " non leggibile: conservato come " + kept.filename().string() +
                            ", scritto un setup nuovo");
  return {};
}

}  // namespace

SetupForm::SetupForm() {
  const SettingsRecord defaults;
  for (int i = 0; i < kSlotCount; ++i) texts[static_cast<std::size_t>(i)] = defaults.text(i);
  description_hints[kFourthDescription] = defaults.text(Slot::locazione_disponibile);
}

std::string SetupForm::open(Context& context) {
  // The file's own name, whatever an older copy of it says.
  const std::string name = context.setup_path.filename().string();
  texts[static_cast<std::size_t>(slot_index(Slot::set_in_use))] = name;
  SettingsRecord read;
  if (!read_setup_file(context.setup_path, read).ok) {
    if (std::string error = keep_damaged_file(context); !error.empty()) return error;
    if (std::string error = save(context); !error.empty()) return error;
    if (SetupReadResult again = read_setup_file(context.setup_path, read); !again.ok) return again.error;
  }
  for (int i = 0; i < kSlotCount; ++i) texts[static_cast<std::size_t>(i)] = read.text(i);
  texts[static_cast<std::size_t>(slot_index(Slot::set_in_use))] = name;
  description_hints[kFourthDescription] = texts[kFreeLocation];
  if (immediate_fill)
    context.host->set_immediate_texts(
        std::vector<std::string>(texts.begin() + kImmediateFirst, texts.begin() + kImmediateFirst + kImmediateCount));
  return {};
}

std::string SetupForm::save(Context& context) {
  if (std::optional<std::vector<std::string>> immediate = context.host->immediate_texts();
      immediate && immediate->size() == kImmediateCount)
    std::copy(immediate->begin(), immediate->end(), texts.begin() + kImmediateFirst);
  texts[kFreeLocation] = description_hints[kFourthDescription];
  return write_setup_file(context.setup_path, record_of(texts));
}

void SetupForm::use_setup_name(Context& context, const std::filesystem::path& chosen) {
  const std::string name = chosen.filename().string();
  texts[static_cast<std::size_t>(slot_index(Slot::set_in_use))] = name;
  context.setup_path = context.program_directory / name;
}

std::string SetupForm::load_setup(Context& context, const std::filesystem::path& chosen) {
  if (chosen.filename().empty()) return {};
  use_setup_name(context, chosen);
  immediate_fill = true;
  return open(context);
}

std::string SetupForm::save_as(Context& context, const std::filesystem::path& chosen) {
  if (chosen.filename().empty()) return {};
  use_setup_name(context, chosen);
  return save(context);
}

}  // namespace vireo
