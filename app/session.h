// Start-up steps shared by the desktop program and the command-line front end: where the files are,
// the workspace file, and loading and applying the settings.
#pragma once

#include <filesystem>

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
// over. Returns false when the operator gave up in the dialog.
bool load_settings(Context& context);

}  // namespace vireo
