// The rules of the main window that do not depend on the window system: file-dialog filters, the
// captions, the command line and the language help file. Colours and placements are core records
// (core/palette.h, core/placement.h) that the windows of every floor share.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/palette.h"
#include "core/placement.h"
#include "link/firmware_update.h"

namespace vireo {

// --- file dialogs
// Filters as "description|patterns|description|patterns|...", patterns separated by ";".
inline constexpr std::string_view kDocumentFilter =
    "Tutti i files (*.*)|*.*|files altrix (*.tpx)|*.tpx|"
    "files txt (*.txt)|*.txt|files Raw (*.raw)|*.raw|"
    "files RML-1 (*.rml.rol.mdx)|*.rml;*.rol;*.mdx|files Autocad (*.dxf)|*.dxf|"
    "files Excellon (*.drl)|*.drl|files Hpgl (*.hp.plt)|*.hp;*.plt|"
    "files Gerber (*.gbr.lgr.g__)|*.gbr;*.lgr;*.g*|"
    "files GCode (*.gc.iso.cnc.nc.ncc.dnc.tap)|*.gc;*.iso;*.cnc;*.nc;*.ncc;*.dnc;*.tap|";
// The firmware filter lives with the firmware update (link/firmware_update.h).
inline constexpr std::string_view kAuxFilter = "Tutti i files (*.*)|*.*|files txt (*.txt)|*.txt|";

// One entry of a filter for a file dialog: its description and its patterns.
struct DialogFilter {
  std::string description;
  std::vector<std::string> patterns;
  friend bool operator==(const DialogFilter&, const DialogFilter&) = default;
};
// Splits a filter into its entries; a description without patterns is dropped.
std::vector<DialogFilter> parse_dialog_filter(std::string_view filter);

// --- captions and names
inline constexpr std::string_view kCaptionSeparator = "   ";
// The main window's caption with a document: base caption, three blanks, the document's caption.
std::string main_caption(std::string_view base, std::string_view document_caption);
// A document never saved still carries a default caption: lower-cased, its first 8 characters are
// "document" or "frmdocum".
bool is_unsaved_caption(std::string_view caption);
// The command line as one text (arguments joined by one blank) with every double quote removed.
std::string command_line_document(const std::vector<std::string>& arguments);

// --- help files
inline constexpr std::string_view kHelpFile = "vireo.hlp";
inline constexpr std::string_view kItalianHelpFile = "vireo_ita.hlp";
inline constexpr std::string_view kEnglishHelpFile = "vireo_eng.hlp";
// Copies the help file of the language over "vireo.hlp" in the directory: "English" takes
// "vireo_eng.hlp", "Italian" takes "vireo_ita.hlp", any other value copies nothing. A missing language
// file is skipped. Returns true when a file was copied.
bool copy_language_help(const std::filesystem::path& directory, std::string_view language_setting);

}  // namespace vireo
