// The subcommands of vireo-cli. Each returns the process's exit status.
#pragma once

namespace vireo {

class ArgReader;

int settings_command(ArgReader& args);
int convert_command(ArgReader& args);
int send_command(ArgReader& args);
int trace_command(ArgReader& args);
int preview_command(ArgReader& args);
int autozero_file_command(ArgReader& args);
int probe_command(ArgReader& args);
int decode_frame_command(ArgReader& args);

}  // namespace vireo
