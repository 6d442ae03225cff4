#include "convert/tool_change.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/context.h"
#include "link/job_window.h"
#include "link/operator_prompts.h"
#include "link/output_channel.h"
#include "base/run_error.h"
#include "tests/support/fake_host.h"
#include "tests/support/forgetful_recorder.h"

namespace vireo {
namespace {

using Lines = std::vector<std::string>;

struct ToolChangeTest : ::testing::Test {
  test::FakeHost host;
  test::ForgetfulRecorder recorded;  // the channel's listener, made before the context so that it outlives it
  Context ctx{host};
  ToolState& tools = ctx.tools;

  void SetUp() override {
    recorded.context = &ctx;
    ctx.channel.listener = &recorded;
    ctx.channel.sink = "periferica";
    set(Slot::s_periferica, "dummy");
    set(Slot::ena_correzione_coord, "0");
    set(Slot::check_ena_tc, "1");
    set(Slot::f_tauto, "1");
    ctx.display.pulse_state = "pc";
  }
  void set(Slot slot, std::string text, int element = 0) {
    ctx.settings.set_text(slot, element, std::move(text));
    derive_settings(ctx.settings, ctx.derived);
  }
  void calibration(bool on) {
    set(Slot::Check_ena_tara, on ? "1" : "0");
    set(Slot::Check_ena_sensor, on ? "1" : "0");
  }
  // Every manual prompt is answered while the sequence waits for it.
  void answer_prompts(ManualAnswer answer) {
    host.on_manual_prompt = [this, answer](std::string_view) {
      host.post([this, answer] { answer_manual_prompt(ctx, answer); });
    };
    host.on_tool_window = [this, answer](std::string_view, bool, bool) {
      tool_window_loaded(ctx);
      host.post([this, answer] {
        tool_window_choose(ctx, answer.tool);
        tool_window_unloaded(ctx);
      });
    };
  }
  Lines change(int requested) {
    tools.requested = requested;
    recorded.lines.clear();
    tool_change(ctx);
    return recorded.lines;
  }
};

const Lines kCalibration = {"S00 F45", "RX43600*", "RY49640*", "F08Z05000*", "zs01000*", "rzF45"};

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(ToolChangeTest, AutomaticChangerSequences) {
  struct Case {
    const char* name;
    int loaded, requested;
    bool calibrate;
    Lines lines;
    std::string message, tool_text;
    int loaded_after;
  };
  const Lines slot2 = {"RZ03000*", "RX46000*", "RY50000*", "RZ05000*"};
  const Lines restart = {"Z00000* P3 ", " T03000 "};
  const Case cases[] = {
      {"same tool is put back and taken again", 2, 2, false,
       Lines{"P1 S00 F45", "cz", " T00250 "} + slot2 + Lines{" ", " T00250 "} + slot2 + Lines{" ", " T00250 "} + restart,
       "", "UTENSILE: 2", 2},
      {"nothing loaded, nothing asked", 0, 0, false, Lines{"P1 S00 F45", "cz"} + restart,
       "    DEPONI UTENSILE 0     ", "", 0},
      {"put away", 2, 0, false, Lines{"P1 S00 F45", "cz", " T00250 "} + slot2 + Lines{" ", " T00250 "} + restart,
       "", "UTENSILE: 0", 0},
      {"take and measure", 0, 8, true,
       Lines{"P1 S00 F45", "cz", "RZ03000*", "RX49000*", "RY52000*", "RZ05000*", " ", " T00250 "} + kCalibration +
           restart,
       "", "UTENSILE: 8", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    calibration(c.calibrate);
    tools.loaded = c.loaded;
    ctx.channel.message_text = "old";
    ctx.channel.tool_text.clear();
    EXPECT_EQ(change(c.requested), c.lines);
    EXPECT_EQ(ctx.channel.message_text, c.message);
    EXPECT_EQ(ctx.channel.tool_text, c.tool_text);
    EXPECT_EQ(tools.loaded, c.loaded_after);
  }
}

TEST_F(ToolChangeTest, OutputsLinesWhenTheMultiplexerIsUsed) {
  set(Slot::indplc, "O1");
  set(Slot::indfresa, "O2");
  set(Slot::ute_pretarati, "1");  // pre-measured tools: no "cz"
  tools.loaded = 1;
  EXPECT_EQ(change(0), (Lines{"P1 S00 F45", "O1Od000000000000000000000000O2", "O1Od000000010000000000000000O2",
                              " T00250 ", "RZ03000*", "RX44000*", "RY50000*", "RZ05000*", " ",
                              "O1Od000000110000000000000000O2", " T00250 ", "Z00000* P3 ", " T03000 "}));
  // Either address "nu": no outputs line at all.
  set(Slot::indfresa, "nu");
  const Lines lines = change(3);
  EXPECT_EQ(lines.at(1), "RZ03000*");
}

TEST_F(ToolChangeTest, WaitLineKeepsFiveDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"3000", " T03000 "}, {"0", " T00000 "}, {"1234567", " T34567 "}, {"12abc", " T00012 "}};
  set(Slot::Version, "6");  // the wait keeps five digits whatever the coordinates have
  for (const auto& [setting, line] : cases) {
    set(Slot::Time_RUN, setting);
    EXPECT_EQ(change(0).back(), line) << setting;
  }
}

TEST_F(ToolChangeTest, DisabledOrFileSinkWritesOnlyTheGlue) {
  struct Case {
    const char* name;
    const char* sink;
    const char* enabled;
    bool keypad;
    const char* pulse_state;
    std::size_t lines;
  };
  const Case cases[] = {
      {"changes disabled", "periferica", "0", false, "pc", 0},
      {"changes disabled after a pb", "periferica", "0", false, "pb", 1},
      {"program file", "file (.tpx)", "1", false, "pc", 0},
      {"keypad runs whatever the settings", "periferica", "0", true, "pc", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ctx.channel.sink = c.sink;
    set(Slot::check_ena_tc, c.enabled);
    tools.keypad_request = c.keypad;
    ctx.display.pulse_state = c.pulse_state;
    ctx.channel.suppress = false;
    tools.loaded = 0;
    const std::size_t panel_writes = host.panel_log.size();
    const Lines lines = change(0);
    if (c.sink == std::string("file (.tpx)")) {
      EXPECT_EQ(host.panel_log.size(), panel_writes);
    }
    EXPECT_EQ(lines.size(), c.lines);
  }
  // The glue of a "pb" run is "pc" and comes first.
  ctx.channel.sink = "periferica";
  set(Slot::check_ena_tc, "1");
  tools.keypad_request = false;
  ctx.display.pulse_state = "pb";
  EXPECT_EQ(change(0).front(), "pc");
}

TEST_F(ToolChangeTest, NextSkipsTheRestOfTheToolUntilTheNextChange) {
  emit_line(ctx, "X01000*");
  next_tool(ctx);
  emit_line(ctx, "X02000*");
  EXPECT_EQ(recorded.lines, Lines{"X01000*"});
  EXPECT_EQ(change(0).front(), "P1 S00 F45");
  EXPECT_FALSE(ctx.channel.suppress);
  // The jog keypad's change leaves the flag as it is.
  next_tool(ctx);
  tools.keypad_request = true;
  EXPECT_TRUE(change(0).empty());
  EXPECT_TRUE(ctx.channel.suppress);
}

TEST_F(ToolChangeTest, ManualChangePromptsAndCalibratesUnlessDeviated) {
  set(Slot::f_tauto, "0");
  calibration(true);
  set(Slot::x_tmanual, "1500");
  set(Slot::z_tmanual, "800");
  const Lines parking = {"P1 S00 F45", "cz", "Z00800*", "RX01500*", "RY39999*"};
  const Lines run_up = {"P3", " T03000 "};
  struct Case {
    const char* name;
    int loaded, requested;
    ManualAnswer answer;
    std::string prompt;
    Lines after_prompt;
    std::string tool_text;
  };
  const Case cases[] = {
      {"OK measures the new tool", 0, 3, {ManualAnswer::Kind::ok, 0}, "metti manualmente utensile3",
       kCalibration + run_up, "UTENSILE: 3"},
      {"DEV TOOL does not", 0, 3, {ManualAnswer::Kind::dev, 5}, "metti manualmente utensile3", run_up, "UTENSILE: 5"},
      {"CHANGE TOOL measures the chosen tool", 0, 3, {ManualAnswer::Kind::change, 6}, "metti manualmente utensile3",
       kCalibration + run_up, "UTENSILE: 6"},
      {"a loaded tool is changed", 4, 7, {ManualAnswer::Kind::ok, 0}, "cambia manualmente utensile7",
       kCalibration + run_up, "UTENSILE: 7"},
      {"a loaded tool is put away", 4, 0, {ManualAnswer::Kind::ok, 0}, "deponi manualmente utensile4",
       kCalibration + run_up, "UTENSILE: 0"},
      {"SKIP TOOL drops the rest of the tool", 0, 2, {ManualAnswer::Kind::skip, 0}, "metti manualmente utensile2", {},
       "UTENSILE: 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    answer_prompts(c.answer);
    tools.loaded = c.loaded;
    host.manual_prompts.clear();
    const long waits = host.waits;
    EXPECT_EQ(change(c.requested), parking + c.after_prompt);
    EXPECT_EQ(host.manual_prompts, std::vector<std::string>{c.prompt});
    EXPECT_GT(host.waits, waits);  // the sequence waited for the prompt through the event loop
    EXPECT_FALSE(tools.manual_wait);
    EXPECT_EQ(ctx.channel.tool_text, c.tool_text);
    EXPECT_EQ(ctx.channel.message_text, "");
    EXPECT_EQ(tools.loaded, c.loaded);  // only the changer's sequences change the loaded tool
  }
}

TEST_F(ToolChangeTest, PromptStaysOpenWhenTheToolWindowIsCancelled) {
  set(Slot::f_tauto, "0");
  calibration(true);
  // DEV TOOL, then "cancel" in the tool window: the prompt still waits, with its flags unchanged;
  // the operator then presses OK.
  ctx.channel.suppress = false;
  tools.skip_calibration = false;
  bool prompt_closed_by_dev = true;
  bool still_waiting = false;
  host.on_manual_prompt = [&](std::string_view) {
    host.post([&] { prompt_closed_by_dev = manual_prompt_change(ctx, true); });
    host.post([&] {
      still_waiting = tools.manual_wait && !tools.skip_calibration && !ctx.channel.suppress;
      manual_prompt_ok(ctx);
    });
  };
  host.on_tool_window = [&](std::string_view, bool, bool) {
    tool_window_loaded(ctx);
    host.events.push_front([&] {
      tool_window_cancel(ctx);
      tool_window_unloaded(ctx);
    });
  };
  const Lines lines = change(3);
  EXPECT_FALSE(prompt_closed_by_dev);
  EXPECT_TRUE(still_waiting);
  ASSERT_EQ(host.tool_windows.size(), 1u);
  EXPECT_EQ(host.tool_windows[0], (test::FakeHost::ToolWindowShow{"select", false, true}));
  EXPECT_EQ(tools.requested, 3);
  EXPECT_EQ(Lines(lines.end() - 8, lines.end()), (kCalibration + Lines{"P3", " T03000 "}));
}

TEST_F(ToolChangeTest, ToolAboveEightIsAskedForUntilOneIsChosen) {
  // The first window is closed without a choice and opens again; the second is answered with 3.
  int shown = 0;
  ToolWindowPlace place = ToolWindowPlace::beside_keypad;
  host.on_tool_window = [&](std::string_view, bool, bool) {
    tool_window_loaded(ctx);
    place = tool_window_place(tools);
    const int answer = ++shown == 1 ? -1 : 3;
    host.post([this, answer] {
      if (answer > 0) tool_window_choose(ctx, answer);
      tool_window_unloaded(ctx);
    });
  };
  const Lines lines = change(12);
  ASSERT_EQ(host.tool_windows.size(), 2u);
  EXPECT_EQ(host.tool_windows[0], (test::FakeHost::ToolWindowShow{"REQUEST TOOL 12", false, false}));
  EXPECT_EQ(place, ToolWindowPlace::over_job_window);
  EXPECT_FALSE(tools.tool_request_mode);
  EXPECT_EQ(tools.requested, 3);
  EXPECT_EQ(tools.loaded, 3);
  EXPECT_EQ(lines.at(0), "P1 S00 F45");
  EXPECT_EQ(lines.at(2), "RZ03000*");
  EXPECT_EQ(lines.at(3), "RX48000*");
}

TEST_F(ToolChangeTest, ToolOutsideTheSlotsEndsTheCommand) {
  struct Case {
    const char* name;
    int loaded, requested;
    bool automatic;
  };
  const Case cases[] = {
      {"T-1 with the changer", 0, -1, true},
      {"T-1 by hand", 0, -1, false},
      {"negative loaded tool put away", -2, 0, true},
      {"loaded tool beyond the slots", 9, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    set(Slot::f_tauto, c.automatic ? "1" : "0");
    tools.loaded = c.loaded;
    tools.requested = c.requested;
    recorded.lines.clear();
    try {
      tool_change(ctx);
      ADD_FAILURE() << "no error";
    } catch (const RunError& e) {
      EXPECT_EQ(e.number(), err::kOutOfRange);
      EXPECT_EQ(e.description(), "Subscript out of range");
    }
    EXPECT_TRUE(recorded.lines.empty());
    EXPECT_TRUE(host.manual_prompts.empty());
  }
}

TEST_F(ToolChangeTest, AFrontEndWithoutAToolWindowDoesNotAskForEver) {
  EXPECT_THROW(change(12), RunError);
  EXPECT_EQ(host.tool_windows.size(), 1u);
  EXPECT_FALSE(tools.tool_request_mode);
  // A front end that ends the command itself leaves the request mode off too.
  host.on_tool_window = [](std::string_view, bool, bool) { throw RunError(err::kInvalidArgument, "no operator"); };
  EXPECT_THROW(change(12), RunError);
  EXPECT_FALSE(tools.tool_request_mode);
}

TEST_F(ToolChangeTest, CalibrateToolAlone) {
  tools.requested = 5;
  set(Slot::Version, "6");
  recorded.lines.clear();
  calibrate_tool(ctx);
  const Lines expected = {"S00 F45", "RX043600*", "RY049640*", "F08Z005000*", "zs001000*", "rzF45"};
  EXPECT_EQ(recorded.lines, expected);
  EXPECT_EQ(ctx.channel.message_text, "");
  // While it measures, the status bar names the tool.
  bool named = false;
  for (const auto& [panel, text] : host.panel_log)
    if (panel == 5 && text.starts_with("   TARATURA UTENSILE 5    ")) named = true;
  EXPECT_TRUE(named);
}

TEST_F(ToolChangeTest, ChangeThatMovedForgetsTheLastPosition) {
  // Both sequences move the machine (slots, parking position); one that writes nothing leaves it.
  answer_prompts({ManualAnswer::Kind::ok, 0});
  for (const char* automatic : {"1", "0"}) {
    set(Slot::f_tauto, automatic);
    ctx.conversion.geometry.last_x = 100;
    ctx.conversion.geometry.last_y = 200;
    change(1);
    EXPECT_EQ(ctx.conversion.geometry.last_x, kUnknownPosition) << automatic;
    EXPECT_EQ(ctx.conversion.geometry.last_y, 1000000000.0f) << automatic;
  }
  set(Slot::check_ena_tc, "0");
  ctx.conversion.geometry.last_x = 100;
  change(2);
  EXPECT_EQ(ctx.conversion.geometry.last_x, 100);
}

}  // namespace
}  // namespace vireo
