// The command-line front end's host answers the operator's windows without an operator: the manual
// prompt as --manual-answer says, a tool request beyond the changer's eight by ending the run.
#include "cli/cli_session.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/cli_options.h"
#include "convert/tool_change.h"
#include "base/run_error.h"
#include "settings/settings_record.h"

namespace vireo {
namespace {

struct CliHostTest : ::testing::Test {
  std::ostringstream lines;  // the echoed lines; outlives the session that writes to it
  CommonOptions options;
  CliSession session{options};
  Context& ctx = session.context();
  CliHost& host = session.host();

  CliHostTest() {
    ctx.channel.sink = "periferica";
    for (auto [slot, text] : {std::pair{Slot::check_ena_tc, "1"}, {Slot::f_tauto, "0"}, {Slot::Check_ena_tara, "1"},
                              {Slot::Check_ena_sensor, "1"}, {Slot::s_periferica, "dummy"}})
      ctx.settings.set_text(slot, text);
    derive_settings(ctx.settings, ctx.derived);
    ctx.display.pulse_state = "pc";
    session.echo_lines(lines);
  }
};

TEST_F(CliHostTest, ThePromptGetsTheChosenAnswer) {
  struct Case {
    const char* answer;
    int requested_after;
    bool measured, suppressed;
  } cases[] = {
      {"ok", 3, true, false},
      {"skip", 3, false, true},  // the rest of the tool, measuring included, is dropped
      {"change:6", 6, true, false},
      {"dev:2", 2, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    host.manual_answer = *parse_manual_answer(c.answer);
    host.manual_answer_text = c.answer;
    ctx.tools.requested = 3;
    ctx.channel.suppress = false;
    lines.str("");
    tool_change(ctx);
    EXPECT_EQ(ctx.tools.requested, c.requested_after);
    EXPECT_FALSE(ctx.tools.manual_wait);
    EXPECT_FALSE(ctx.tools.tool_window_wait);
    EXPECT_EQ(ctx.channel.suppress, c.suppressed);
    EXPECT_EQ(lines.str().find("zs01000*") != std::string::npos, c.measured) << lines.str();
    EXPECT_EQ(lines.str().find("P3") != std::string::npos, !c.suppressed) << lines.str();
  }
}

TEST_F(CliHostTest, AToolBeyondTheSlotsEndsTheRun) {
  ctx.tools.requested = 12;
  try {
    tool_change(ctx);
    ADD_FAILURE() << "the run went on";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), err::kInvalidArgument);
    EXPECT_NE(error.description().find("REQUEST TOOL 12"), std::string::npos);
  }
  EXPECT_TRUE(host.tool_request_refused);
  EXPECT_FALSE(ctx.tools.tool_request_mode);
}

}  // namespace
}  // namespace vireo
