#include "convert/driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/emitters.h"
#include "base/run_error.h"
#include "tests/convert/conversion_fixture.h"

namespace vireo {
namespace {

TEST(SourceNames, ExtensionAndProgramFile) {
  struct Case {
    const char* caption;
    const char* extension;
    const char* program_file;
    const char* canonical;  // "" when the table has no row
  };
  const std::vector<Case> cases = {
      {"C:\\lavori.2024\\scheda.gbr", ".gbr", "C:\\lavori.2024\\scheda.tpx", ".gbr"},
      {"/home/op/v1.2/top.GTL", ".gtl", "/home/op/v1.2/top.tpx", ".gbr"},
      {"PEZZO.NC", ".nc", "PEZZO.tpx", ".gc"},
      {"scheda.gm12", ".gm1", "scheda.tpx", ".gbr"},
      {"disegno.hp", ".hp", "disegno.tpx", ".plt"},
      {"pezzo.mdx", ".mdx", "pezzo.tpx", ".rml"},
      {"./rel/fori.DRL", ".drl", "./rel/fori.tpx", ".drl"},
      // The first dot of the name counts, so a name with several dots keeps what follows the first.
      {"scheda.v2.gbr", ".v2.", "scheda.tpx", ""},
      {"prog.tpx", ".tpx", "prog.tpx", ""},
      {"a.x", ".x", "a.tpx", ""},
  };
  for (const Case& c : cases) {
    const SourceNames names = source_names(c.caption);
    EXPECT_EQ(names.extension, c.extension) << c.caption;
    EXPECT_EQ(names.program_file, c.program_file) << c.caption;
    const FormatRow* row = find_format(names.extension);
    EXPECT_EQ(row ? std::string(row->canonical) : "", c.canonical) << c.caption;
  }
}

TEST(SourceNames, NoExtensionDotIsARunTimeFailure) {
  for (const char* caption : {"", "/home/op/pezzo", "/home/op.d/pezzo", "C:\\dir.1\\pezzo"}) {
    try {
      source_names(caption);
      ADD_FAILURE() << caption << " has no extension";
    } catch (const RunError& error) {
      EXPECT_EQ(error.number(), err::kInvalidArgument) << caption;
    }
  }
}

TEST(FormatTable, EveryExtensionOnceAndEveryCanonicalMapsToItself) {
  const std::vector<std::string> extensions = {
      ".rml", ".rol", ".mdx", ".dxf", ".drl", ".gbr", ".lgr", ".gtl", ".gbl", ".gto", ".gbo", ".gts",
      ".gbs", ".gtp", ".gbp", ".gpb", ".gpt", ".gko", ".gg1", ".gd1", ".gm1", ".gm2", ".gm3", ".gm4",
      ".gm5", ".gm6", ".gm7", ".gm8", ".gm9", ".plt", ".hp",  ".gc",  ".iso", ".cnc", ".nc",  ".ncc",
      ".dnc", ".tap"};
  for (const std::string& e : extensions) {
    const FormatRow* row = find_format(e);
    ASSERT_NE(row, nullptr) << e;
    EXPECT_EQ(find_format(row->canonical)->canonical, row->canonical) << e;
    EXPECT_NE(row->convert, nullptr) << e;  // every format of the table has its converter
  }
  EXPECT_EQ(find_format(".gbx"), nullptr);
  EXPECT_EQ(find_format(".GBR"), nullptr);  // the driver lower-cases before it looks
}

TEST(PlungeFeed, PercentOfTheFeedAndTheCodesBelowOne) {
  struct Case {
    const char* feed;
    double percent;
    const char* plunge;
  };
  const std::vector<Case> cases = {
      {"F04", 50, "F02"}, {"F01", 50, "F95"}, {"F01", 5, "F91"}, {"F45", 100, "F45"}, {"F45", 10, "F04"},
      {"F90", 200, "F80"},  // 180 keeps its last two digits
      {"F03", 0, "F91"},    {"F10", 1, "F91"}, {"F10", 9, "F99"},
      {"F4", 50, "F91"},  // the last two characters "F4" are worth 0
  };
  for (const Case& c : cases) EXPECT_EQ(plunge_feed(c.feed, c.percent), c.plunge) << c.feed << " at " << c.percent;
}

using DriverTest = test::ConversionTest;

TEST_F(DriverTest, DepthsAndFeedPerFormat) {
  prepare_depths(context);
  EXPECT_EQ(context.conversion.travel_z_line, "Z00800");
  EXPECT_EQ(context.conversion.cutting_z_line, "Z01100");
  EXPECT_EQ(context.conversion.saved_cutting_z_line, "Z01100");
  EXPECT_EQ(context.conversion.feed_setting, "F04");
  EXPECT_EQ(context.conversion.plunge_feed_line, "F02");

  // HPGL pens: pen n takes its depth and feed; with no pen selected yet pen 1's stand.
  context.channel.document_extension = ".plt";
  set(Slot::atc_hpgl, "prof_var");
  context.tools.requested = 0;
  prepare_depths(context);
  EXPECT_EQ(context.conversion.travel_z_line, "Z02080");  // 2780 - 700
  EXPECT_EQ(context.conversion.cutting_z_line, "Z02980");  // 2780 + 200
  context.tools.requested = 3;
  prepare_depths(context);
  EXPECT_EQ(context.conversion.travel_z_line, "Z02080");  // 2780 - 700
  EXPECT_EQ(context.conversion.cutting_z_line, "Z03030");  // 2780 + 250
  EXPECT_EQ(context.conversion.feed_setting, "F02");
  EXPECT_EQ(context.conversion.plunge_feed_line, "F01");
  context.tools.requested = 9;
  EXPECT_THROW(prepare_depths(context), RunError);
  // With pens as tool changes the settings' lines stand.
  set(Slot::atc_hpgl, "TC");
  prepare_depths(context);
  EXPECT_EQ(context.conversion.cutting_z_line, "Z01100");
}

TEST_F(DriverTest, AProgramFileIsNotConverted) {
  EXPECT_EQ(convert("F45Z00800*", sink::kFile, "prog.TPX"), ConversionOutcome::program_file);
  EXPECT_EQ(host.messages, std::vector<std::string>{"[converti:]e' un file .tpx"});
  EXPECT_TRUE(recorded.lines.empty());
  EXPECT_EQ(host.previews, 0);
}

TEST_F(DriverTest, ACaptionWithoutExtensionEndsWithTheRunTimeMessage) {
  EXPECT_EQ(convert("X1Y1D02*", sink::kTextView, "pezzo"), ConversionOutcome::failed);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind("[converti:]Errore 5\rInvalid procedure call or argument", 0), 0u) << host.messages[0];
  EXPECT_TRUE(recorded.lines.empty());
}

TEST_F(DriverTest, UnknownExtensionAsksUntilAnswered) {
  host.file_types = {"", ".gbr"};  // closed without a choice, then Gerber
  EXPECT_EQ(convert("X100Y100D02*", sink::kTextView, "board.art"), ConversionOutcome::converted);
  EXPECT_EQ(host.file_type_questions, 2);
  EXPECT_EQ(context.channel.document_extension, ".gbr");
  EXPECT_FALSE(recorded.lines.empty());

  host.file_types.clear();
  host.file_type_questions = 0;
  EXPECT_EQ(convert("X100Y100D02*", sink::kTextView, "board.art"), ConversionOutcome::cancelled);
  EXPECT_TRUE(recorded.lines.empty());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(DriverTest, ARunStartsClean) {
  context.channel.error_count = 4;
  context.channel.error_text = "old";
  context.channel.tool_text = "PASSATA N. 3";
  context.channel.suppress = true;
  context.conversion.abort = true;
  host.error_icon = true;
  ASSERT_EQ(convert("D10*\n", sink::kTextView), ConversionOutcome::converted);
  EXPECT_EQ(context.channel.error_count, 0);
  EXPECT_EQ(context.channel.tool_text, "");
  EXPECT_FALSE(host.error_icon);
  EXPECT_TRUE(host.job_controls[JobControl::cancel_button]);
  EXPECT_FALSE(host.job_controls[JobControl::tool_list]);
  EXPECT_FALSE(host.job_controls[JobControl::tool_ok]);
  // The first Z move and feed of the run go out even if the display already shows them.
  EXPECT_EQ(recorded.lines.front(), "F45Z00000*");
}

TEST_F(DriverTest, FileSinkWritesBesideTheSourceOrWhereAskedAndOpensThePreview) {
  ASSERT_EQ(convert("X100Y200D02*\n", sink::kFile, "scheda.GTL"), ConversionOutcome::converted);
  EXPECT_EQ(dir.read("scheda.tpx"), "F45Z00800*X00100*Y00200*go0go0");
  EXPECT_EQ(host.previews, 1);
  ASSERT_TRUE(context.conversion.source_text);
  EXPECT_EQ(*context.conversion.source_text, "X100Y200D02*\n");

  context.conversion.output_path = dir.file("elsewhere.tpx");
  ASSERT_EQ(convert("X100Y300D02*\n", sink::kFile, "scheda.GTL"), ConversionOutcome::converted);
  EXPECT_EQ(dir.read("elsewhere.tpx"), "F45Z00800*X00100*Y00300*go0go0");
  EXPECT_EQ(host.previews, 2);
}

TEST_F(DriverTest, AnUnwritableProgramFileEndsWithTheRunTimeMessage) {
  context.conversion.output_path = dir.file("missing/dir/out.tpx");
  EXPECT_EQ(convert("X100Y200D02*\n", sink::kFile), ConversionOutcome::converted);
  // The channel counts the failed lines; the conversion itself runs to its end.
  EXPECT_GT(context.channel.error_count, 0);
  EXPECT_NE(context.channel.error_text.find("[Invia:]Errore  75"), std::string::npos) << context.channel.error_text;
}

TEST_F(DriverTest, OtherSinksReadThroughTheViewAndShowWhereTheyEnded) {
  ASSERT_EQ(convert("X100Y200D02*\r\n", sink::kTextView), ConversionOutcome::converted);
  EXPECT_EQ(host.previews, 0);
  EXPECT_FALSE(context.conversion.source_text);
  EXPECT_EQ(document.sel_start, 14);
}

}  // namespace
}  // namespace vireo
