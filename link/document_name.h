// The parts of a document's caption (its full path) that the commands look at: the extension dot, the
// lower-cased extension and the name of the program file that belongs to the document.
#pragma once

#include <string>
#include <string_view>

namespace vireo {

// The position of the extension dot: the first "." after which no folder separator ("\" or "/")
// follows. std::string_view::npos when the file name has no dot.
std::size_t extension_dot(std::string_view caption);

// Up to four characters from the extension dot, lower-cased (".tpx", ".gm1"); "" without a dot.
std::string caption_extension(std::string_view caption);

// The caption up to and including its extension dot, then "tpx"; "" without a dot.
std::string program_file_for(std::string_view caption);

}  // namespace vireo
