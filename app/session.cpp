#include "app/session.h"

#include "core/context.h"
#include "link/machine_link.h"
#include "settings/setup_file.h"

namespace vireo {

void use_program_directory(Context& context, const std::filesystem::path& directory) {
  context.program_directory = directory;
  context.workspace_path = directory / std::string(kWorkspaceFileName);
  context.setup_path = directory / context.workspace.setup_name;
}

void read_workspace(Context& context) {
  WorkspaceLoad load = vireo::read_workspace(context.workspace_path, context.workspace);
  context.workspace = std::move(load.workspace);
  context.setup_path = context.program_directory / context.workspace.setup_name;
  if (!load.error.empty()) context.host->message_box(load.error);
}

void write_workspace(Context& context) {
  context.workspace.setup_name = context.setup_path.filename().string();
  if (std::string error = vireo::write_workspace(context.workspace_path, context.workspace); !error.empty())
    context.host->message_box(error);
}

void apply_settings(Context& context) { derive_settings(context.settings, context.derived); }

bool load_settings(Context& context) {
  for (;;) {
    if (!read_setup_file(context.setup_path, context.settings).ok) {
      if (!context.host->run_setup_dialog(context)) return false;
      continue;
    }
    apply_settings(context);
    if (std::optional<RunError> failure = open_machine_link(context)) {
      context.host->message_box(failure->message({}, kPortMessageLayout));
      if (!context.host->run_setup_dialog(context)) return false;
      continue;
    }
    return true;
  }
}

}  // namespace vireo
