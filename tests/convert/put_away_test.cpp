// The end of a conversion puts a tool still in the spindle back into its slot, through the same
// tool change a converter uses.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/operator_prompts.h"
#include "tests/convert/conversion_fixture.h"

namespace vireo {
namespace {

struct PutAwayTest : test::ConversionTest {
  const std::string source = "X100Y100D02*X200Y100D01*\r\n";

  PutAwayTest() {
    set(Slot::check_ena_tc, "1");
    set(Slot::s_periferica, "dummy");
  }
  bool delivered_in_order(const std::vector<std::string>& lines) const {
    auto at = recorded.lines.begin();
    for (const std::string& line : lines) {
      at = std::find(at, recorded.lines.end(), line);
      if (at == recorded.lines.end()) return false;
      ++at;
    }
    return true;
  }
};

TEST_F(PutAwayTest, TheChangerPutsTheLoadedToolBack) {
  set(Slot::f_tauto, "1");
  context.tools.loaded = 3;  // left in the spindle by an earlier program
  EXPECT_EQ(convert(source, sink::kMachine), ConversionOutcome::converted) << delivered();
  // As delivered: the encoder drops the feed F45 and the rest Z the end of the program already set.
  EXPECT_TRUE(delivered_in_order({"go0", "P1 S00 ", "cz", " T00250 ", "RZ03000*", "RX48000*", "RY50000*",
                                  "RZ05000*", " ", " T00250 ", "* P3 ", " T03000 "}))
      << delivered();
  EXPECT_EQ(recorded.lines.back(), " T03000 ");
  EXPECT_EQ(context.tools.loaded, 0);
  EXPECT_EQ(context.tools.requested, 0);
  EXPECT_EQ(context.channel.tool_text, "UTENSILE: 0");

  // Nothing loaded: the program ends without a change.
  EXPECT_EQ(convert(source, sink::kMachine), ConversionOutcome::converted);
  EXPECT_EQ(std::count(recorded.lines.begin(), recorded.lines.end(), "cz"), 0);
}

TEST_F(PutAwayTest, ByHandThePromptAsksToPutItAway) {
  set(Slot::f_tauto, "0");
  context.tools.loaded = 4;
  host.on_manual_prompt = [this](std::string_view) { host.post([this] { manual_prompt_ok(context); }); };
  EXPECT_EQ(convert(source, sink::kMachine), ConversionOutcome::converted) << delivered();
  EXPECT_EQ(host.manual_prompts, std::vector<std::string>{"deponi manualmente utensile4"});
  EXPECT_EQ(recorded.lines.back(), " T03000 ");
  EXPECT_EQ(context.tools.loaded, 4);  // a manual change leaves the loaded tool as it was
}

TEST_F(PutAwayTest, ANegativeLoadedToolEndsTheConversionWithItsMessage) {
  set(Slot::f_tauto, "1");
  context.tools.loaded = -1;
  convert(source, sink::kMachine);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back(), "[converti:]Errore 9\rSubscript out of range");
}

}  // namespace
}  // namespace vireo
