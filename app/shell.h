// The rules of the main window that do not depend on the window system: file-dialog filters, the
// captions, the command line, the language help file, the placement of the child and tool windows,
// and the program's colour constants. Placements are in twips (1/1440 inch); the window converts
// them at the screen's logical resolution.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/text_view.h"

namespace vireo {

// --- colours
// Pens and Z levels of the setup dialog and the preview: indexes into the 16-colour console palette.
inline constexpr std::array<int, 16> kPenColours = {1, 12, 10, 9, 13, 14, 11, 8, 1, 2, 3, 4, 5, 6, 7, 15};
// The 16-colour console palette.
inline constexpr std::array<Rgb, 16> kConsolePalette = {{
    {0, 0, 0}, {0, 0, 128}, {0, 128, 0}, {0, 128, 128}, {128, 0, 0}, {128, 0, 128}, {128, 128, 0},
    {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0}, {0, 255, 255}, {255, 0, 0},
    {255, 0, 255}, {255, 255, 0}, {255, 255, 255}}};
namespace colour {
inline constexpr Rgb kSlowButton{235, 255, 168};   // preview and keypad buttons
inline constexpr Rgb kFastButton{255, 217, 1};     // preview 3D button, keypad speed buttons
inline constexpr Rgb kRed{255, 43, 1};             // output channel and preview
inline constexpr Rgb kGreen{137, 205, 0};
inline constexpr Rgb kBlue{0, 105, 230};
inline constexpr Rgb kAlert{255, 192, 128};        // output channel, pause button, monitor
}  // namespace colour

// --- file dialogs
// Filters as "description|patterns|description|patterns|...", patterns separated by ";".
inline constexpr std::string_view kDocumentFilter =
    "Tutti i files (*.*)|*.*|files altrix (*.tpx)|*.tpx|"
    "files txt (*.txt)|*.txt|files Raw (*.raw)|*.raw|"
    "files RML-1 (*.rml.rol.mdx)|*.rml;*.rol;*.mdx|files Autocad (*.dxf)|*.dxf|"
    "files Excellon (*.drl)|*.drl|files Hpgl (*.hp.plt)|*.hp;*.plt|"
    "files Gerber (*.gbr.lgr.g__)|*.gbr;*.lgr;*.g*|"
    "files GCode (*.gc.iso.cnc.nc.ncc.dnc.tap)|*.gc;*.iso;*.cnc;*.nc;*.ncc;*.dnc;*.tap|";
inline constexpr std::string_view kFirmwareFilter = "files firmware (*.s19)|*.s19|Tutti i files (*.*)|*.*|";
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

// --- placement
struct Placement {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Placement&, const Placement&) = default;
};
// The main window's default placement when the per-user store has none.
inline constexpr Placement kDefaultMainPlacement{1000, 1000, 6500, 6500};
// Where the layout step puts each window for an inner width W of the main window.
struct ShellLayout {
  Placement keypad, immediate, display, preview, document, aux;
};
ShellLayout shell_layout(int inner_width);
// The output window: beside the position display; 4500 wide instead of 6200 when the display is
// expanded.
Placement output_window_placement(int inner_width, bool display_expanded);

}  // namespace vireo
