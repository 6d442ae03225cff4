// The workspace file ("vireo.dat"): the last document, which tool windows were open and the setup file
// in use, as one line of five comma-separated fields ended by CR LF:
//   "path",#TRUE#,#TRUE#,#TRUE#,"vireo.stu"
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

inline constexpr std::string_view kWorkspaceFileName = "vireo.dat";
inline constexpr std::string_view kDefaultSetupName = "vireo.stu";

struct Workspace {
  std::string last_document;
  bool keypad_open = true;
  bool immediate_open = true;
  bool display_open = true;
  std::string setup_name = std::string(kDefaultSetupName);
};

std::string workspace_file_text(const Workspace& workspace);

// Parses the workspace line; nothing when a field is missing or a flag is not a boolean
// (#TRUE#, #FALSE#, or "True"/"False" in quotes).
std::optional<Workspace> parse_workspace(std::string_view content);

// Writes the workspace file in one step. Returns an error text, empty on success.
std::string write_workspace(const std::filesystem::path& path, const Workspace& workspace);

struct WorkspaceLoad {
  Workspace workspace;
  bool recreated = false;  // the file was missing or unreadable and was written afresh
  std::string error;       // set when even the recreated file could not be written or read
};

// Reads the workspace file. A missing or unreadable file is written afresh with the three window flags
// on and the setup name "vireo.stu" (the last document stays `current.last_document`), then read again.
WorkspaceLoad read_workspace(const std::filesystem::path& path, const Workspace& current);

}  // namespace vireo
