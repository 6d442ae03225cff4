#include "manual/immediate.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "core/line_sink.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

struct ImmediateTest : ::testing::Test {
  test::FakeHost host;
  RecordingSink recorded;  // the channel's listener, made before the context so that it outlives it
  Context ctx{host};
  void SetUp() override {
    ctx.channel.listener = &recorded;
    ctx.settings.set_text(Slot::ritardo_dsr, "0");
    derive_settings(ctx.settings, ctx.derived);
  }
};

TEST_F(ImmediateTest, ALineGoesToTheMachineAsTypedWhateverTheSinkWithZAndFeedForced) {
  for (const char* sink : {"file (.tpx)", "rtf", "periferica", ""}) {
    SCOPED_TRACE(sink);
    recorded.lines.clear();
    ctx.channel.sink = sink;
    ctx.channel.suppress = true;
    ctx.display.display_z = 800;
    ctx.display.display_f = 45;
    set_immediate_text(ctx, 1, "F10RX08600* rx");
    set_immediate_text(ctx, 2, "F45Z00800*");
    send_immediate_command(ctx, 1);
    send_immediate_command(ctx, 2);  // the same Z and feed go out all the same
    set_immediate_text(ctx, 4, "");
    send_immediate_command(ctx, 4);  // empty: nothing
    EXPECT_EQ(recorded.lines, (std::vector<std::string>{"F10RX08600* rx", "F45Z00800*"}));
    EXPECT_TRUE(ctx.channel.suppress);
    EXPECT_FALSE(ctx.channel.direct_to_machine);
    EXPECT_FALSE(host.output_open);
  }
}

TEST_F(ImmediateTest, CtrlCCommentsAreStoredInTheSettingsOnlyWhenAnswered) {
  set_immediate_text(ctx, 2, "");
  ctx.settings.set_text(slot_index(Slot::immediate_hint, 2), "");
  EXPECT_EQ(immediate_hint(ctx, 2), "press <ctrl><c>per inserire un commento");
  host.inputs = {std::string("zero pezzo"), std::string(""), std::nullopt};
  EXPECT_TRUE(ask_immediate_comment(ctx, 2));
  EXPECT_FALSE(ask_immediate_comment(ctx, 2));  // empty answer
  EXPECT_FALSE(ask_immediate_comment(ctx, 2));  // cancelled
  EXPECT_EQ(ctx.settings.text(172), "zero pezzo");
  EXPECT_EQ(immediate_hint(ctx, 2), "zero pezzo");
  EXPECT_EQ(host.messages, (std::vector<std::string>(3, "Input commento")));
}

}  // namespace
}  // namespace vireo
