#include "manual/find_centre.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/context.h"
#include "core/line_sink.h"
#include "link/machine_link.h"
#include "tests/manual/simulated_port.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

using Lines = std::vector<std::string>;
using sim::Workpiece;
const Lines kRead = {"gb", "fufd", "ga"};

Lines join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A find-centre run over the serial port against the simulated controller; the test's clock moves
// 10 ms with every turn of the event loop.
struct FindCentreTest : ::testing::Test {
  test::FakeHost host;
  RecordingSink recorded;  // the channel's listener, made before the context so that it outlives it
  Context ctx{host};
  std::chrono::steady_clock::time_point clock{};
  std::unique_ptr<sim::Controller> controller;
  std::unique_ptr<test::SimulatedPort> port;
  FindCentreFields fields;

  FindCentreTest() { ctx.channel.listener = &recorded; }

  void machine(Workpiece workpiece, sim::MachineState start) {
    controller = std::make_unique<sim::Controller>(false, workpiece, start);
    port = std::make_unique<test::SimulatedPort>(*controller, clock);
    ctx.serial = port.get();
    ctx.settings.set_text(Slot::s_periferica, "com1");
    ctx.settings.set_text(Slot::ritardo_dsr, "0");
    ctx.settings.set_text(Slot::quote32bit, "0");
    derive_settings(ctx.settings, ctx.derived);
    ASSERT_FALSE(open_machine_link(ctx));
    host.on_wait = [this] { clock += std::chrono::milliseconds(10); };
    fields = opening_fields(ctx);
    fields.slack = "100";
    fields.z_step = "1000";
  }
  bool run(ProbeKind kind, ProbeAxes axes) {
    FindCentre finder(ctx, fields, [this] { return clock; });
    return finder.run(kind, axes);
  }
  void expect_run_ended() {
    ASSERT_FALSE(recorded.lines.empty());
    EXPECT_EQ(recorded.lines.back(), "ga0 gh0");
    EXPECT_TRUE(ctx.channel.suppress);
    EXPECT_FALSE(ctx.channel.direct_to_machine);
    EXPECT_FALSE(fields.progress_visible);
  }
};

const Workpiece kCavity{Workpiece::Kind::cavity, 8000, 12000, 8000, 12000, 0};

TEST_F(FindCentreTest, CavityXTheWorkedExample) {
  machine(kCavity, {.x = 10000, .y = 10000});
  EXPECT_TRUE(run(ProbeKind::cave, ProbeAxes::x));
  EXPECT_EQ(recorded.lines, join({kRead, {"gh1X06000*"}, kRead, {"gh0X08100*", "gh1X12100*"}, kRead,
                                  {"gh0X10000*", "ga0 gh0"}}));
  EXPECT_EQ(fields.x_min, "8000");
  EXPECT_EQ(fields.x_max, "12000");
  EXPECT_EQ(fields.x_centre, "10000");
  EXPECT_EQ(fields.y_centre, "");
  EXPECT_EQ(fields.progress, 2);
  EXPECT_EQ(controller->state().x, 10000);
  expect_run_ended();
  EXPECT_TRUE(host.messages.empty());
}

// A start point nearer to 0 than the travel moves nothing on that axis and leaves the centres.
TEST_F(FindCentreTest, AStartTooNearZeroIsRefused) {
  struct Case {
    ProbeKind kind;
    ProbeAxes axes;
    sim::MachineState start;
    const char* travel;
    const char* message;
    int x_probes;  // armed X moves sent before the refusal
  };
  const Case cases[] = {
      {ProbeKind::isle, ProbeAxes::x, {.x = 5000, .y = 5000}, "5200", "X minore di zero", 0},
      {ProbeKind::cave, ProbeAxes::y, {.x = 10000, .y = 3000}, "4000", "Y minore di zero", 0},
      // XY: the first Y fails, so the second X never runs.
      {ProbeKind::cave, ProbeAxes::xy, {.x = 10000, .y = 3000}, "4000", "Y minore di zero", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    recorded.lines.clear();
    host.messages.clear();
    machine(kCavity, c.start);
    fields.travel_isle_x = fields.travel_isle_y = c.travel;
    fields.x_centre = fields.y_centre = "1234";
    EXPECT_FALSE(run(c.kind, c.axes));
    EXPECT_EQ(host.messages, Lines{c.message});
    const auto x_probes = std::count_if(recorded.lines.begin(), recorded.lines.end(),
                                        [](const std::string& l) { return l.starts_with("gh1X"); });
    EXPECT_EQ(x_probes, c.x_probes);
    EXPECT_EQ(fields.y_centre, "1234");
    expect_run_ended();
  }
}

TEST_F(FindCentreTest, AFastFeedIsCappedAtTen) {
  machine(kCavity, {.x = 10000, .y = 10000, .feed = 45});
  EXPECT_TRUE(run(ProbeKind::cave, ProbeAxes::x));
  EXPECT_EQ(recorded.lines[3], "F10");
}

TEST_F(FindCentreTest, NoReplyTellsTheOperatorInsteadOfReadingAStalePosition) {
  machine(kCavity, {.x = 10000, .y = 10000});
  port->answering = false;
  EXPECT_FALSE(run(ProbeKind::cave, ProbeAxes::x));
  EXPECT_EQ(host.messages, Lines{std::string(kNoReplyMessage)});
  EXPECT_EQ(recorded.lines, join({kRead, {"ga0 gh0"}}));  // nothing moved
  EXPECT_GE(clock.time_since_epoch(), kReplyTimeout);
  EXPECT_LT(clock.time_since_epoch(), kReplyTimeout + std::chrono::milliseconds(100));
}

TEST_F(FindCentreTest, EscStopsAfterTheCurrentContact) {
  machine(kCavity, {.x = 10000, .y = 10000});
  // Esc comes while the first contact is read.
  int reads = 0;
  host.on_wait = [&] {
    clock += std::chrono::milliseconds(10);
    if (++reads == 2) ctx.conversion.abort = true;
  };
  EXPECT_FALSE(run(ProbeKind::cave, ProbeAxes::x));
  EXPECT_EQ(fields.x_min, "8000");
  EXPECT_EQ(fields.x_centre, "0");
  EXPECT_EQ(recorded.lines, join({kRead, {"gh1X06000*"}, kRead, {"ga0 gh0"}}));
}

}  // namespace
}  // namespace vireo
