// A run-time failure that ends the command in progress (a port that is not open, a file that cannot be
// written, an index out of range). The command that catches it shows one message made of its tag,
// "Errore ", the number and the description; nothing else is unwound.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace vireo {

// How an "Errore N" message lays out its number and description. Message boxes put a carriage return
// between them; the output channel's status text puts three blanks and writes a non-negative number
// with a leading blank, as the port-open message box does too.
struct ErrorLayout {
  bool blank_before_number = false;
  std::string_view separator = "\r";
};
inline constexpr ErrorLayout kMessageBoxLayout{false, "\r"};
inline constexpr ErrorLayout kPortMessageLayout{true, "\r"};
inline constexpr ErrorLayout kStatusTextLayout{true, "   "};

// The one builder of every "Errore N" text: tag + "Errore " + number + separator + description.
std::string error_message(std::string_view tag, int number, std::string_view description,
                          ErrorLayout layout = kMessageBoxLayout);

class RunError : public std::exception {
 public:
  RunError(int number, std::string description) : number_(number), description_(std::move(description)) {}
  int number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }
  std::string message(std::string_view tag = {}, ErrorLayout layout = kMessageBoxLayout) const {
    return error_message(tag, number_, description_, layout);
  }

 private:
  int number_;
  std::string description_;
};

// The error numbers the program reports, with the meaning operators know them by.
namespace err {
inline constexpr int kInvalidArgument = 5;     // "Invalid procedure call or argument"
inline constexpr int kOverflow = 6;            // "Overflow"
inline constexpr int kOutOfRange = 9;          // "Subscript out of range"
inline constexpr int kObjectNotSet = 91;       // "Object variable or With block variable not set"
inline constexpr int kFileNotFound = 53;       // "File not found"
inline constexpr int kBadFileName = 52;        // "Bad file name or number"
inline constexpr int kPathAccess = 75;         // "Path/File access error"
inline constexpr int kDeviceIo = 57;           // "Device I/O error"
inline constexpr int kLibraryLoad = 48;        // "Error in loading DLL"
inline constexpr int kEntryPoint = 453;        // "Can't find DLL entry point"
inline constexpr int kInvalidPort = 8002;      // "Invalid port number"
inline constexpr int kPortAlreadyOpen = 8005;  // "Port already open"
inline constexpr int kPortUnavailable = 8010;  // "The hardware is not available"
inline constexpr int kPortNotOpen = 8012;      // "The device is not open"
}  // namespace err

}  // namespace vireo
