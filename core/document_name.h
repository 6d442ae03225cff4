// The parts of a document's caption (its full path) that the commands look at: the extension dot, the
// lower-cased extension and the name of the program file that belongs to the document.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

// The extensions of the two kinds of document that go to the machine as they are: a stored program
// (command language) and a raw raster.
inline constexpr std::string_view kProgramExtension = ".tpx";
inline constexpr std::string_view kRawExtension = ".raw";

// Where a caption's extension starts: the first "." that no path separator ("\" or "/") follows.
std::optional<std::size_t> extension_dot(std::string_view caption);

struct SourceNames {
  std::string extension;     // lower case, at most 4 characters from the dot: ".gbr", ".gm1"
  std::string program_file;  // the caption up to and including the dot, then "tpx"
};
// Throws RunError (invalid argument) when the caption has no extension dot.
SourceNames source_names(std::string_view caption);

// The extension as source_names gives it, or "" when the caption has none (for the commands that
// only refuse documents of another type).
std::string caption_extension(std::string_view caption);

}  // namespace vireo
