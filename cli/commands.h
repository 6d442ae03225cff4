// The subcommands of vireo-cli. Each returns the process's exit status.
#pragma once

namespace vireo {

class ArgReader;

int settings_command(ArgReader& args);
int convert_command(ArgReader& args);

}  // namespace vireo
