#include "app/shell.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

TEST(Shell, DocumentFilterListsEveryFormatWithItsPatterns) {
  const std::vector<DialogFilter> filter = parse_dialog_filter(kDocumentFilter);
  ASSERT_EQ(filter.size(), 10u);
  EXPECT_EQ(filter[0], (DialogFilter{"Tutti i files (*.*)", {"*.*"}}));
  EXPECT_EQ(filter[1], (DialogFilter{"files altrix (*.tpx)", {"*.tpx"}}));
  EXPECT_EQ(filter[4], (DialogFilter{"files RML-1 (*.rml.rol.mdx)", {"*.rml", "*.rol", "*.mdx"}}));
  EXPECT_EQ(filter[8], (DialogFilter{"files Gerber (*.gbr.lgr.g__)", {"*.gbr", "*.lgr", "*.g*"}}));
  EXPECT_EQ(filter[9].patterns.size(), 7u);
  EXPECT_EQ(parse_dialog_filter(kFirmwareFilter).front(), (DialogFilter{"files firmware (*.s19)", {"*.s19"}}));
  EXPECT_EQ(parse_dialog_filter(kAuxFilter).size(), 2u);
}

TEST(Shell, FilterEntriesWithoutPatternsAreDropped) {
  EXPECT_TRUE(parse_dialog_filter("").empty());
  EXPECT_TRUE(parse_dialog_filter("only a description").empty());
  EXPECT_EQ(parse_dialog_filter("a|*.a|b||").size(), 1u);
  EXPECT_EQ(parse_dialog_filter("a|*.a;;*.b|").front().patterns, (std::vector<std::string>{"*.a", "*.b"}));
}

TEST(Shell, CaptionsOfTheMainWindowAndOfNewDocuments) {
  EXPECT_EQ(main_caption("vireo-italian", "C:/lavori/scheda.gbr"), "vireo-italian   C:/lavori/scheda.gbr");
  struct Row {
    const char* caption;
    bool unsaved;
  };
  const Row rows[] = {{"Documento 1", true}, {"DOCUMENT", true}, {"frmDocument", true}, {"FrmDocum", true},
                      {"documen", false},    {"/home/a/document.nc", false}, {"", false}, {"my document", false}};
  for (const Row& row : rows) EXPECT_EQ(is_unsaved_caption(row.caption), row.unsaved) << row.caption;
}

TEST(Shell, TheCommandLineLosesItsQuotes) {
  EXPECT_EQ(command_line_document({}), "");
  EXPECT_EQ(command_line_document({"\"/tmp/my file.nc\""}), "/tmp/my file.nc");
  // An unquoted path with a blank arrives as two arguments.
  EXPECT_EQ(command_line_document({"/tmp/my", "file.nc"}), "/tmp/my file.nc");
  EXPECT_EQ(command_line_document({"\"\""}), "");
}

TEST(Shell, LayoutTableAtAWideAndANarrowWindow) {
  const ShellLayout wide = shell_layout(20000);
  EXPECT_EQ(wide.keypad, (Placement{20000 - 4880, 3000, 4500, 3400}));
  EXPECT_EQ(wide.immediate, (Placement{20000 - 8380, 3000, 3500, 3400}));
  EXPECT_EQ(wide.display, (Placement{20000 - 2180, 0, 1800, 3000}));
  EXPECT_EQ(wide.preview, (Placement{20000 - 8380, 0, 6200, 3000}));
  EXPECT_EQ(wide.document, (Placement{0, 0, 20000 - 8380, 4600}));
  EXPECT_EQ(wide.aux, (Placement{0, 4600, 20000 - 8380, 1800}));
  // Below 8000 + 380 twips the document column has no width left.
  for (int w : {8380, 8000, 0}) {
    const ShellLayout narrow = shell_layout(w);
    EXPECT_EQ(narrow.document.width, 0) << w;
    EXPECT_EQ(narrow.aux.width, 0) << w;
  }
  EXPECT_EQ(shell_layout(8381).document.width, 1);
}

TEST(Shell, OutputWindowBesideTheDisplay) {
  EXPECT_EQ(output_window_placement(20000, false), (Placement{20000 - 8380, 0, 6200, 3000}));
  EXPECT_EQ(output_window_placement(20000, true), (Placement{20000 - 8380, 0, 4500, 3000}));
}

TEST(Shell, TheLanguageHelpFileIsCopiedOverTheHelpFile) {
  test::TempDir dir;
  dir.write("vireo_ita.hlp", "italiano");
  dir.write("vireo_eng.hlp", "english");
  EXPECT_TRUE(copy_language_help(dir.path(), "English"));
  EXPECT_EQ(dir.read("vireo.hlp"), "english");
  EXPECT_TRUE(copy_language_help(dir.path(), "Italian"));
  EXPECT_EQ(dir.read("vireo.hlp"), "italiano");
  EXPECT_FALSE(copy_language_help(dir.path(), "Deutsch"));
  EXPECT_EQ(dir.read("vireo.hlp"), "italiano");
}

TEST(Shell, AMissingLanguageHelpFileIsSkipped) {
  test::TempDir dir;
  dir.write("vireo.hlp", "old");
  EXPECT_FALSE(copy_language_help(dir.path(), "English"));
  EXPECT_EQ(dir.read("vireo.hlp"), "old");
}

TEST(Shell, PenColoursIndexThePalette) {
  for (int pen : kPenColours) {
    EXPECT_GE(pen, 0);
    EXPECT_LT(pen, static_cast<int>(kConsolePalette.size()));
  }
  EXPECT_EQ(kConsolePalette[static_cast<std::size_t>(kPenColours[1])], (Rgb{255, 0, 0}));
}

}  // namespace
}  // namespace vireo
