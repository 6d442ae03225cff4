#include "link/job_window.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "link/operator_prompts.h"
#include "link/output_channel.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

struct JobWindowTest : ::testing::Test {
  test::FakeHost host;
  Context ctx{host};
  ToolState& tools = ctx.tools;
  ChannelState& channel = ctx.channel;
};

TEST_F(JobWindowTest, ProgressFigure) {
  struct Case {
    std::size_t cursor, total;
    const char* text;
  } cases[] = {
      {0, 100, " 0 %"}, {45, 100, " 45 %"}, {1, 3, " 33 %"}, {2, 3, " 66 %"}, {999, 1000, " 99 %"}, {7, 7, " 100 %"},
  };
  for (const Case& c : cases) {
    ctx.conversion.read_cursor = c.cursor;
    ctx.conversion.text_length = c.total;
    EXPECT_EQ(progress_text(ctx.conversion), c.text) << c.cursor << "/" << c.total;
  }
  // No total yet: the label keeps its last text.
  ctx.conversion.text_length = 0;
  EXPECT_EQ(progress_text(ctx.conversion), std::nullopt);
}

TEST_F(JobWindowTest, PauseTwiceLetsTheRunGoOn) {
  channel.sink = "periferica";
  toggle_pause(ctx);
  EXPECT_TRUE(channel.pause);
  EXPECT_TRUE(host.pause_alert);
  // The next line waits until the operator presses "pause" again.
  host.post([this] { toggle_pause(ctx); });
  emit_line(ctx, "X01000*");
  EXPECT_FALSE(channel.pause);
  EXPECT_FALSE(host.pause_alert);
  EXPECT_EQ(host.panels[4], "X01000*");
  EXPECT_GE(host.waits, 1);
}

TEST_F(JobWindowTest, StoppingEnablesTheRunControlsOfAnOpenWindow) {
  struct Case {
    const char* name;
    bool open;
    const char* extension;
    bool cancel_enabled, tool_ok_enabled;
  } cases[] = {
      {"closed window", false, ".drl", false, false},
      {"drill file", true, ".drl", true, true},
      {"G-code", true, ".gc", true, false},
      {"extension compared exactly", true, ".DRL", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.job_controls.clear();
    ctx.conversion.abort = false;
    channel.job_window_open = c.open;
    channel.document_extension = c.extension;
    request_stop(ctx);
    EXPECT_TRUE(ctx.conversion.abort);
    EXPECT_EQ(host.job_controls.contains(JobControl::cancel_button), c.cancel_enabled);
    EXPECT_EQ(host.job_controls.contains(JobControl::tool_ok), c.tool_ok_enabled);
    for (const auto& [control, enabled] : host.job_controls) EXPECT_TRUE(enabled);
  }
}

TEST_F(JobWindowTest, LoadUnloadAndToolList) {
  channel.document_extension = ".drl";
  job_window_loaded(ctx);
  EXPECT_TRUE(channel.job_window_open);
  tool_list_clicked(ctx);
  EXPECT_TRUE(host.job_controls.at(JobControl::cancel_button));
  EXPECT_TRUE(host.job_controls.at(JobControl::tool_ok));
  EXPECT_FALSE(ctx.conversion.abort);
  job_window_unloaded(ctx);
  EXPECT_TRUE(ctx.conversion.abort);
  EXPECT_FALSE(channel.job_window_open);
}

TEST_F(JobWindowTest, CaretSetsTheReadCursor) {
  caret_moved(ctx, 1234);
  EXPECT_EQ(ctx.conversion.read_cursor, 1234u);
}

TEST_F(JobWindowTest, PromptButtonsSetTheFlagsAsWritten) {
  struct Case {
    const char* name;
    void (*press)(Context&);
    bool suppress, skip_calibration;
  } cases[] = {
      {"OK", manual_prompt_ok, false, false},
      {"SKIP TOOL", manual_prompt_skip, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool before : {false, true}) {
      tools.manual_wait = true;
      channel.suppress = before;
      tools.skip_calibration = true;
      c.press(ctx);
      EXPECT_FALSE(tools.manual_wait);
      EXPECT_EQ(channel.suppress, c.suppress);
      EXPECT_EQ(tools.skip_calibration, c.skip_calibration);
    }
  }
  // Closing the prompt clears only the wait flag.
  tools.manual_wait = true;
  channel.suppress = true;
  tools.skip_calibration = true;
  manual_prompt_closed(ctx);
  EXPECT_FALSE(tools.manual_wait);
  EXPECT_TRUE(channel.suppress);
  EXPECT_TRUE(tools.skip_calibration);
}

TEST_F(JobWindowTest, ChangeAndDevAskTheToolWindow) {
  host.on_tool_window = [this](std::string_view, bool, bool) {
    tool_window_loaded(ctx);
    host.post([this] {
      tool_window_choose(ctx, 6);
      tool_window_unloaded(ctx);
    });
  };
  for (const bool dev : {false, true}) {
    SCOPED_TRACE(dev ? "DEV TOOL" : "CHANGE TOOL");
    tools.manual_wait = true;
    channel.suppress = true;
    tools.skip_calibration = !dev;
    tools.requested = 2;
    EXPECT_TRUE(manual_prompt_change(ctx, dev));
    EXPECT_EQ(tools.requested, 6);
    EXPECT_FALSE(tools.manual_wait);
    EXPECT_FALSE(channel.suppress);
    EXPECT_EQ(tools.skip_calibration, dev);
    EXPECT_EQ(host.tool_windows.back(), (test::FakeHost::ToolWindowShow{"select", false, true}));
  }
  // The tool window cancelled or closed: the prompt stays, nothing changes.
  for (const bool cancel_button : {true, false}) {
    host.on_tool_window = [this, cancel_button](std::string_view, bool, bool) {
      tool_window_loaded(ctx);
      host.post([this, cancel_button] {
        if (cancel_button) tool_window_cancel(ctx);
        tool_window_unloaded(ctx);
      });
    };
    tools.manual_wait = true;
    channel.suppress = true;
    tools.skip_calibration = false;
    tools.requested = 2;
    EXPECT_FALSE(manual_prompt_change(ctx, true));
    EXPECT_TRUE(tools.manual_wait);
    EXPECT_TRUE(channel.suppress);
    EXPECT_FALSE(tools.skip_calibration);
    EXPECT_EQ(tools.requested, 2);
  }
  // A front end that opens no tool window: also nothing chosen.
  host.on_tool_window = nullptr;
  tools.tool_choice = 0;
  EXPECT_FALSE(manual_prompt_change(ctx, false));
  EXPECT_TRUE(tools.manual_wait);
}

TEST_F(JobWindowTest, ToolWindowButtonsAndPlacement) {
  tool_window_loaded(ctx);
  EXPECT_TRUE(tools.tool_window_wait);
  tool_window_choose(ctx, 0);  // "Deponi"
  EXPECT_EQ(tools.requested, 0);
  EXPECT_EQ(tools.tool_choice, 0);
  tool_window_cancel(ctx);
  EXPECT_EQ(tools.tool_choice, 99);
  tool_window_unloaded(ctx);
  EXPECT_FALSE(tools.tool_window_wait);

  struct Case {
    bool manual_wait, request_mode;
    ToolWindowPlace place;
  } cases[] = {
      {true, true, ToolWindowPlace::beside_manual_prompt},
      {false, true, ToolWindowPlace::over_job_window},
      {false, false, ToolWindowPlace::beside_keypad},
  };
  for (const Case& c : cases) {
    tools.manual_wait = c.manual_wait;
    tools.tool_request_mode = c.request_mode;
    EXPECT_EQ(tool_window_place(tools), c.place);
  }
  ctx.settings.set_text(Slot::descrizione1, 7, "Bulino");
  EXPECT_EQ(tool_description(ctx.settings, 8), "Bulino");
  EXPECT_EQ(tool_description(ctx.settings, 1), "Punta       FORI PICCOLI");
}

TEST(ManualAnswerTest, Parsing) {
  using K = ManualAnswer::Kind;
  struct Case {
    const char* text;
    std::optional<ManualAnswer> answer;
  } cases[] = {
      {"ok", ManualAnswer{K::ok, 0}},   {"skip", ManualAnswer{K::skip, 0}}, {"change:3", ManualAnswer{K::change, 3}},
      {"dev:8", ManualAnswer{K::dev, 8}}, {"dev:1", ManualAnswer{K::dev, 1}}, {"change:0", std::nullopt},
      {"change:9", std::nullopt},        {"dev:-1", std::nullopt},           {"change:", std::nullopt},
      {"change:3x", std::nullopt},       {"OK", std::nullopt},               {"", std::nullopt},
      {"move:3", std::nullopt},          {"ok:3", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_manual_answer(c.text), c.answer) << '"' << c.text << '"';
}

TEST_F(JobWindowTest, AnswersWithoutWindows) {
  // A front end without windows answers the tool window on the spot.
  host.on_tool_window = [this](std::string_view, bool, bool) { answer_tool_window(ctx, 4); };
  tools.manual_wait = true;
  channel.suppress = true;
  answer_manual_prompt(ctx, {ManualAnswer::Kind::dev, 4});
  EXPECT_EQ(tools.requested, 4);
  EXPECT_TRUE(tools.skip_calibration);
  EXPECT_FALSE(channel.suppress);
  EXPECT_FALSE(tools.manual_wait);
  EXPECT_FALSE(tools.tool_window_wait);
  EXPECT_EQ(host.waits, 0);
  // Without a tool to give, the prompt is closed with the flags as they were.
  host.on_tool_window = nullptr;
  tools.manual_wait = true;
  channel.suppress = true;
  answer_manual_prompt(ctx, {ManualAnswer::Kind::change, 5});
  EXPECT_FALSE(tools.manual_wait);
  EXPECT_TRUE(channel.suppress);
  EXPECT_EQ(tools.requested, 4);
}

}  // namespace
}  // namespace vireo
