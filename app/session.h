// Start-up steps shared by the desktop program and the command-line front end: where the files are,
// the workspace file, and loading and applying the settings.
#pragma once

#include <filesystem>
#include <string_view>

namespace vireo {

struct Context;

// Sets the program directory and the workspace path inside it; the setup path follows the workspace's
// setup file name.
void use_program_directory(Context& context, const std::filesystem::path& directory);

// Reads the workspace file; a missing or unreadable one is recreated first. Sets the setup path from the
// workspace's setup file name.
void read_workspace(Context& context);
void write_workspace(Context& context);

// Turns the record's texts into the derived values and the conversion's working values.
void apply_settings(Context& context);

// Reads the setup file in use, applies it and opens the machine link. When the file cannot be read, or
// the port cannot be opened (after its message), the host's setup dialog is shown and loading starts
// over once the operator saved there. Cancelling the dialog after the port's message starts the
// program offline (see go_offline). Returns false only when no setup file could be read at all.
bool load_settings(Context& context);

// Offline for this session: the device becomes the dummy in the record (not in the setup file) and
// status panel 5 says which port could not be opened.
inline constexpr std::string_view kOfflineDevice = "dummy";
inline constexpr int kOfflinePanel = 5;
void go_offline(Context& context);

}  // namespace vireo
