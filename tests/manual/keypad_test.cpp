#include "manual/keypad.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/context.h"
#include "core/line_sink.h"
#include "link/operator_prompts.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

using Lines = std::vector<std::string>;

struct KeypadTest : ::testing::Test {
  test::FakeHost host;
  RecordingSink recorded;  // the channel's listener, made before the context so that it outlives it
  Context ctx{host};
  KeypadState keypad;

  void SetUp() override {
    ctx.channel.listener = &recorded;
    // The conversion sink would write a file; the keypad goes to the machine (the dummy device) anyway.
    ctx.channel.sink = "file (.tpx)";
    ctx.settings.set_text(Slot::ritardo_dsr, "0");
    derive_settings(ctx.settings, ctx.derived);
  }
  void expect_left_suppressed() {
    EXPECT_TRUE(ctx.channel.suppress);
    EXPECT_FALSE(ctx.channel.direct_to_machine);
  }
};

TEST_F(KeypadTest, FixedButtonsSendTheirCommandToTheMachineAndLeaveOtherProducersSuppressed) {
  for (const char* command : {"cx", "cy", "cz", "rx", "ry", "rz", "fd", "fu", "sd", "su"}) {
    ctx.channel.suppress = true;  // an earlier keypad command: the keypad lowers it for its own line
    send_keypad_command(ctx, command);
    expect_left_suppressed();
  }
  EXPECT_EQ(recorded.lines, (Lines{"cx", "cy", "cz", "rx", "ry", "rz", "fd", "fu", "sd", "su"}));
}

// Press, two timer ticks, release and a late tick, per speed mode and button.
TEST_F(KeypadTest, HeldAxisButtonsRepeatAtTheirGroupsSpeed) {
  struct Case {
    bool fast_xy, fast_z;
    const char* jog;
    int interval;
    Lines lines;
  };
  const std::string ten_xu = "xuxuxuxuxuxuxuxuxuxu";
  const Case cases[] = {
      {false, false, "xu", kSlowRepeatMs, {"xu", "xu", "xu"}},
      {true, false, "xu", kFastRepeatMs, {"xu", ten_xu, ten_xu}},
      {false, false, "zu", kSlowRepeatMs, {"zu", "zu", "zu", "zu"}},   // Z+ steps twice on press
      {false, false, "zd", kSlowRepeatMs, {"zd", "zd", "zd"}},
      {true, false, "zd", kSlowRepeatMs, {"zd", "zd", "zd"}},          // X-Y speed leaves Z slow
      {false, true, "yd", kSlowRepeatMs, {"yd", "yd", "yd"}},          // Z speed leaves Y slow
      {false, true, "zd", kFastRepeatMs, {"zd", "zdzdzdzdzdzdzdzdzdzd", "zdzdzdzdzdzdzdzdzdzd"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.jog + std::string(c.fast_xy ? " fast X-Y" : "") + (c.fast_z ? " fast Z" : ""));
    recorded.lines.clear();
    keypad = {};
    if (c.fast_xy) toggle_speed(keypad, SpeedGroup::xy);
    if (c.fast_z) toggle_speed(keypad, SpeedGroup::z);
    EXPECT_EQ(jog_press(ctx, keypad, c.jog), c.interval);
    jog_tick(ctx, keypad);
    jog_tick(ctx, keypad);
    jog_release(keypad);
    jog_tick(ctx, keypad);
    EXPECT_EQ(recorded.lines, c.lines);
    expect_left_suppressed();
  }
}

TEST_F(KeypadTest, TheEeromBufferStoresBetweenLoadAndEndAndStartRunsItOnlyOutsideLoading) {
  EXPECT_EQ(load_buffer_clicked(ctx, true), "End");
  start_buffer(ctx);  // while loading: nothing
  EXPECT_EQ(load_buffer_clicked(ctx, false), "Load");
  start_buffer(ctx);
  EXPECT_EQ(recorded.lines, (Lines{"(", ")()", "?"}));
  expect_left_suppressed();
}

TEST_F(KeypadTest, TakeToolChangesToTheChosenToolOnlyWithToolChangesEnabled) {
  ctx.settings.set_text(Slot::f_tauto, "1");
  ctx.display.pulse_state = "pc";
  host.on_tool_window = [this](std::string_view, bool, bool) {
    tool_window_loaded(ctx);
    host.post([this] {
      tool_window_choose(ctx, 3);
      tool_window_unloaded(ctx);
    });
  };
  ctx.settings.set_text(Slot::check_ena_tc, "0");
  EXPECT_TRUE(take_tool(ctx));
  EXPECT_TRUE(host.tool_windows.empty());

  ctx.settings.set_text(Slot::check_ena_tc, "1");
  EXPECT_TRUE(take_tool(ctx));
  ASSERT_EQ(host.tool_windows.size(), 1u);
  EXPECT_EQ(host.tool_windows[0].caption, "select");
  EXPECT_EQ(ctx.tools.loaded, 3);
  ASSERT_FALSE(recorded.lines.empty());
  EXPECT_EQ(recorded.lines.front().substr(0, 7), "P1 S00 ");
  EXPECT_FALSE(ctx.tools.keypad_request);
  expect_left_suppressed();
  EXPECT_EQ(host.busy_changes, (std::vector<bool>{true, false}));
}

TEST_F(KeypadTest, TakeToolPressedWhileTheToolWindowAsksWithdrawsTheQuestion) {
  ctx.settings.set_text(Slot::check_ena_tc, "1");
  host.on_tool_window = [this](std::string_view, bool, bool) {
    tool_window_loaded(ctx);
    // The operator presses "prendi" again; the window closes.
    host.post([this] {
      EXPECT_FALSE(ask_keypad_tool(ctx));
      tool_window_unloaded(ctx);
    });
  };
  EXPECT_FALSE(ask_keypad_tool(ctx));
  EXPECT_EQ(host.tool_windows.size(), 1u);
  EXPECT_TRUE(recorded.lines.empty());
}

TEST_F(KeypadTest, CalibrationRunsBetweenP1AndP3OnlyWithTheSensorEnabled) {
  ctx.settings.set_text(Slot::Check_ena_sensor, "0");
  EXPECT_TRUE(calibrate(ctx));
  EXPECT_TRUE(recorded.lines.empty());
  ctx.settings.set_text(Slot::Check_ena_sensor, "1");
  EXPECT_TRUE(calibrate(ctx));
  ASSERT_GE(recorded.lines.size(), 3u);
  EXPECT_EQ(recorded.lines.front(), "P1");
  EXPECT_EQ(recorded.lines.back(), "P3");
  expect_left_suppressed();
}

}  // namespace
}  // namespace vireo
