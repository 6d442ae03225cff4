#include "convert/autozero.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "tests/support/fake_host.h"
#include "tests/support/fake_text_view.h"

namespace vireo {
namespace {

struct AutozeroTest : ::testing::Test {
  test::FakeHost host;
  test::FakeTextView document;
  Context context{host};

  void SetUp() override {
    host.document = &document;
    host.caption = "C:\\lavori\\pezzo.v2\\scheda.tpx";
  }
  void set(Slot slot, std::string text) {
    context.settings.set_text(slot, std::move(text));
    derive_settings(context.settings, context.derived);
  }
  std::optional<AutozeroResult> run(std::string program) {
    document.set_text(program);
    return start_autozero(context);
  }
};

std::string closing(long x, long y, long zero) {
  return "( " + std::to_string(x) + " )X + ( " + std::to_string(y) + " )Y coordinate modificate, ( " +
         std::to_string(zero) + " )coordinate negative,le ho impostate a zero.\rRicordati,se vuoi,di salvare il file modificato.";
}

TEST_F(AutozeroTest, ProgramAlreadyAtZeroIsUnchanged) {
  const std::string program = "F45Z00800*X00000Y00000*Z01000*X01000Y02000*\rZ00800*";
  const auto result = run(program);
  ASSERT_TRUE(result);
  EXPECT_EQ(document.content(), program);
  EXPECT_EQ(result->x_changed, 0);
  EXPECT_EQ(result->y_changed, 0);
  EXPECT_EQ(result->zeroed, 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], closing(0, 0, 0));
  EXPECT_EQ(host.job_controls[JobControl::cancel_button], true);
}

TEST_F(AutozeroTest, ShiftsCutsAndZeroesTravelOutsideTheArea) {
  const auto result =
      run("Z00800*X00000Y00000*X01000Y01500*Z01000*X03000*Y02500*Z00800*X00000Y00000*");
  ASSERT_TRUE(result);
  EXPECT_EQ(document.content(), "Z00800*X00000Y00000*X00000Y00000*Z01000*X02000*Y01000*Z00800*X00000Y00000*");
  EXPECT_EQ(result->x_min, 1000);
  EXPECT_EQ(result->y_min, 1500);
  EXPECT_EQ(result->x_changed, 4);
  EXPECT_EQ(result->y_changed, 4);
  EXPECT_EQ(result->zeroed, 4);
  EXPECT_EQ(host.messages.back(), closing(4, 4, 4));
  EXPECT_EQ(context.channel.line_counter, 4);
  EXPECT_EQ(context.channel.sink, "");
  EXPECT_EQ(host.busy_changes, (std::vector<bool>{true, false}));
}

TEST_F(AutozeroTest, KeepsTheLengthAndZ) {
  struct Row {
    std::string version;
    std::string program;
    std::string expected;
  };
  const Row rows[] = {
      // A negative cut is the minimum: the other values move up by it.
      {"6", "Z000800*X001000Y002000*Z001500*X004000*Y-00100*", "Z000800*X000000Y002100*Z001500*X003000*Y000000*"},
      {"5", "Z00800*X01234*Z01000*X05000Y03000*\r\nX0-200*", "Z00800*X01434*Z01000*X05200Y00000*\r\nX00000*"},
      // A value cut short by the end of the text stays as it is.
      {"5", "Z00800*X01000Y01000*Z01000*X02000*X01", "Z00800*X00000Y00000*Z01000*X01000*X01"},
      // Positioning moves to machine places are not shifted.
      {"5", "Z00800*X01000Y01000*Z01000*X02000*RX05000*RY05000*", "Z00800*X00000Y00000*Z01000*X01000*RX05000*RY05000*"},
  };
  for (const Row& row : rows) {
    set(Slot::Version, row.version);
    ASSERT_TRUE(run(row.program)) << row.program;
    EXPECT_EQ(document.content(), row.expected) << row.program;
    EXPECT_EQ(document.content().size(), row.program.size()) << row.program;
  }
}

TEST_F(AutozeroTest, MinimaIgnoreTheDisplayCorrection) {
  set(Slot::ena_correzione_display, "1");
  set(Slot::display_corr_x, "2");
  ASSERT_TRUE(run("Z00800*X01000Y01000*Z01000*X02000*"));
  EXPECT_EQ(document.content(), "Z00800*X00000Y00000*Z01000*X01000*");
}

TEST_F(AutozeroTest, RefusesOtherDocuments) {
  for (std::string caption : {"C:\\lavori\\scheda.gbr", "C:\\lavori.tpx\\scheda", "scheda"}) {
    host.messages.clear();
    host.caption = caption;
    EXPECT_FALSE(run("Z00800*X01000*Z01000*")) << caption;
    EXPECT_EQ(host.messages, (std::vector<std::string>{"[autozero:]non e' un file .tpx"})) << caption;
    EXPECT_EQ(document.content(), "Z00800*X01000*Z01000*");
  }
  host.caption = "C:\\lavori\\SCHEDA.TPX";
  EXPECT_TRUE(run("Z00800*"));
}

TEST_F(AutozeroTest, StopButtonLeavesThePartAlreadyRewritten) {
  std::string program = "Z00800*X01000Y01000*Z01000*";
  for (int i = 0; i < 50; ++i) program += "X02000*";
  document.set_text(program);
  long pumps = 0;
  host.on_pump = [&] {
    if (++pumps == 60) context.conversion.abort = true;
  };
  const auto result = start_autozero(context);
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->aborted);
  EXPECT_EQ(document.content().size(), program.size());
  EXPECT_EQ(document.content().substr(0, 34), "Z00800*X00000Y00000*Z01000*X01000*");
  EXPECT_EQ(document.content().substr(document.content().size() - 7), "X02000*");
}

}  // namespace
}  // namespace vireo
