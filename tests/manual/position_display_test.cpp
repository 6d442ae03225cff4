#include "manual/position_display.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "tests/support/fake_host.h"
#include "tests/support/fake_serial_port.h"

namespace vireo {
namespace {

struct PositionDisplayTest : ::testing::Test {
  test::FakeHost host;
  test::FakeSerialPort port;
  Context context{host};

  PositionDisplayTest() {
    context.serial = &port;
    derive_settings(context.settings, context.derived);
  }
  void set(Slot slot, std::string text) {
    context.settings.set_text(slot, std::move(text));
    derive_settings(context.settings, context.derived);
  }
};

TEST_F(PositionDisplayTest, ColourTextsKeepThePreviousIndexOutsideTheTable) {
  const std::pair<std::string, int> steps[] = {{"bleu", 3}, {"blue", 3}, {"white", 6}, {"Green", 6},
                                               {"green", 0}, {"", 0},    {"orange", 5}, {"cyan", 4},
                                               {"red", 1},  {"yellow", 2}};
  for (const auto& [text, index] : steps) {
    apply_display_colour(context, &text);
    EXPECT_EQ(context.settings.text(Slot::colore_display), text);
    EXPECT_EQ(context.display.colour, index) << text;
  }
}

TEST_F(PositionDisplayTest, RefreshShowsEveryDigitInItsColourOnlyWhileOpen) {
  context.workspace.display_open = false;
  apply_display_colour(context);  // the default setting "cyan"
  EXPECT_EQ(context.display.colour, 4);
  EXPECT_TRUE(host.digits.empty());

  open_display(context);
  EXPECT_TRUE(context.workspace.display_open);
  refresh_display(context);
  ASSERT_EQ(host.digit_colours.size(), 8u);
  EXPECT_EQ(host.digit_colours[7], std::make_pair(8, 4));
  host.digits.clear();
  context.display.display_x = 1234, context.display.display_f = 4, context.display.display_c = -250;
  refresh_display(context);
  EXPECT_EQ(host.digits, (std::vector<std::pair<int, double>>{
                             {1, 1234}, {2, 0}, {3, 0}, {4, 4}, {5, 0}, {6, 0}, {7, 0}, {8, -250}}));
}

TEST_F(PositionDisplayTest, OpeningSetsEveryValueToZero) {
  DisplayState& d = context.display;
  d.display_x = 1234, d.display_s = 12, d.display_a = 900;
  open_display(context);
  EXPECT_EQ(display_values(d), (std::array<double, 8>{}));
  EXPECT_EQ(d.display_x, 0);
}

TEST_F(PositionDisplayTest, ClipboardTexts) {
  struct Case {
    const char* version;
    int digit;
    double value;
    std::optional<std::string> text;
  } cases[] = {
      {"6", digit::kX, 1234, "X001234"},   {"5", digit::kY, 500, "Y00500"},     {"5", digit::kZ, -200, "Z0-200"},
      {"6", digit::kZ, 1.5, "Z0001.5"},    {"5", digit::kFeed, 4, "F04"},       {"5", digit::kFeed, 45, "F45"},
      {"5", digit::kSpindle, 12, "S12"},   {"5", digit::kSpindle, 5, "S05"},    {"5", digit::kA, 0, std::nullopt},
      {"5", digit::kC, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    set(Slot::Version, c.version);
    DisplayState& d = context.display;
    const std::array<double*, 5> values = {&d.display_x, &d.display_y, &d.display_z, &d.display_f, &d.display_s};
    if (c.digit <= 5) *values[static_cast<std::size_t>(c.digit - 1)] = c.value;
    EXPECT_EQ(digit_clipboard_text(context, c.digit), c.text) << c.value;
  }
}

TEST_F(PositionDisplayTest, PasteReplacesTheSelectionWithTheMove) {
  paste_position(context);  // no document window: nothing happens
  test::FakeTextView document;
  document.set_text("F04*old*S12");
  document.set_selection_start(4);
  document.set_selection_length(4);
  host.document = &document;
  context.display.display_x = 1234, context.display.display_y = 567, context.display.display_z = 100;
  paste_position(context);
  EXPECT_EQ(document.text(), "F04*X01234Y00567Z00100*S12");
}

TEST_F(PositionDisplayTest, SyncClearsTheReplySendsTheRequestAndSuppressesTheRun) {
  set(Slot::s_periferica, "com1");
  port.open(1, 9600);
  context.receive.rx_count = 9;
  port.receive("stale", {});
  context.channel.suppress = true;
  context.channel.sink = "file (.tpx)";
  request_position(context);
  EXPECT_EQ(context.receive.rx_count, 0u);
  EXPECT_EQ(port.input_clears, 1);
  EXPECT_TRUE(port.incoming.empty());
  EXPECT_EQ(port.written, "ga1 ge ga0");
  EXPECT_FALSE(context.channel.direct_to_machine);
  EXPECT_TRUE(context.channel.suppress);
}

}  // namespace
}  // namespace vireo
