// The controller's command language: the commands the program writes, and how a stored program is cut
// back into commands. Commands run back to back without separators; "*" makes the controller carry out
// the axis values written since the previous "*".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vireo::cmd {

inline constexpr char kTerminator = '*';
inline constexpr char kRepeatMarker = '@';  // restart a stored program from its first character
// Placeholder the encoder writes over dropped commands before removing them from the line.
inline constexpr char kFiller = '\xF7';

inline constexpr std::string_view kFollowOff = "go0";  // stop following the material surface
inline constexpr std::string_view kFollowOn = "go1";   // follow the surface while cutting
inline constexpr std::string_view kBull = "pb";        // pulse: tool goes into the work
inline constexpr std::string_view kGlue = "pc";        // pulse: tool leaves the work
inline constexpr std::string_view kVertex = "pa";      // pulse on a vertex, sent as "pc"
inline constexpr std::string_view kSensorSearch = "zs";
inline constexpr std::string_view kToolOpen = "P1";
inline constexpr std::string_view kToolClose = "P3";
inline constexpr std::string_view kOutputs = "Od";
inline constexpr std::string_view kSpindleStop = "S00 ";
inline constexpr std::string_view kPositionRequest = "ga1 ge ga0";
inline constexpr std::string_view kStatusDump = "$";
inline constexpr std::string_view kStoreStart = "(";
inline constexpr std::string_view kStoreEnd = ")()";
inline constexpr std::string_view kRunStored = "?";
inline constexpr std::string_view kProbeStart = "gb";
inline constexpr std::string_view kProbeEnd = "ga0 gh0";

// Home an axis, set its origin, single steps of axes, feed and spindle codes.
inline constexpr std::string_view kHomeX = "cx", kHomeY = "cy", kHomeZ = "cz";
inline constexpr std::string_view kOriginX = "rx", kOriginY = "ry", kOriginZ = "rz";

// Collects the characters of a stored program into commands: line ends are dropped and a command ends
// with its "*". A final piece without "*" is completed with one when the program ends.
class CommandCutter {
 public:
  // Takes one character; returns true when it completed a command, which command() then holds until
  // the next call.
  bool feed(char c);
  const std::string& command() const { return command_; }
  // The characters taken since the last completed command.
  const std::string& pending() const { return pending_; }
  // Ends the program: returns the unfinished piece with "*" added, or "" when nothing is pending.
  std::string finish();

 private:
  std::string pending_;
  std::string command_;
};

// Cuts a whole stored program into its commands.
std::vector<std::string> cut_commands(std::string_view program);

}  // namespace vireo::cmd
