// Find centre (`TrovaCentro`): measures the centre of a pocket ("Cave": the probe touches its walls
// from inside) or of a boss ("Isle": the probe touches it from outside, stepping over it in Z), in X,
// in Y or in both, with a touch probe in the spindle. Probing moves go out with the probe armed
// ("gh1"), the position where the probe stopped is read back from the controller, and the centre is
// the midpoint of the two contacts, rounded down. The tool is left at the centre.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "manual/monitor.h"

namespace vireo {

struct Context;

enum class ProbeKind { cave, isle };
enum class ProbeAxes { x, y, xy };

// The window's fields, as texts: the travels, the slack and the Z step the operator may change, and
// the results.
struct FindCentreFields {
  std::string travel_cave_x = "4000", travel_cave_y = "4000";  // `Escursio_cava_X`, `Escursio_cava_Y`
  std::string travel_isle_x = "4600", travel_isle_y = "4600";  // `Escursio_isola_X`, `Escursio_isola_Y`
  std::string slack;   // `Off_xy`: back-off after a contact
  std::string z_step;  // `Off_z`: how far down beside an island
  std::string x_min = "0", x_max = "0", y_min = "0", y_max = "0";  // `XCminimo` ... `YCmassimo`
  std::string x_centre = "0", y_centre = "0";                      // `XCentro`, `YCentro`
  // `PB_trovacentro`: one step per contact.
  int progress = 0;
  int progress_max = 0;
  bool progress_visible = false;
};

// The fields as the window opens: slack and Z step from `mem_offset_trovacentro` and `memz_trovacent`.
FindCentreFields opening_fields(const Context& ctx);

// Where the window opens: the top left corner of the main window's client area.
inline constexpr Placement kFindCentrePlacement{0, 0, 7200, 4800};

// How long read_position waits for the controller's reply.
inline constexpr std::chrono::milliseconds kReplyTimeout{2000};
inline constexpr std::string_view kNoReplyMessage = "[TrovaCentro:]nessuna risposta dal controllore";

// Asks the controller where it stands ("gb", "fufd", "ga") and lets the event loop run until its
// reply has been decoded into the position display. False, after telling the operator, when no reply
// came within kReplyTimeout: the display would still show where the moves were sent, not where the
// probe stopped.
bool read_position(Context& ctx, const Clock& now = std::chrono::steady_clock::now);

class FindCentre {
 public:
  FindCentre(Context& ctx, FindCentreFields& fields, Clock now = std::chrono::steady_clock::now)
      : ctx_(ctx), fields_(fields), now_(std::move(now)) {}

  // Runs after every change of the fields, so that a window shows the progress while probing.
  std::function<void()> changed;

  // A start button: probes the axes ("START XY" runs X, Y, X, Y and stops at the first failure) and
  // always ends the probing run. Unless a probe failed, the centres found are put in fixed-width form
  // and the other axis's centre is emptied. True when no probe failed.
  bool run(ProbeKind kind, ProbeAxes axes);

 private:
  struct Axis;
  bool start_probing(ProbeKind kind);
  void end_probing();
  bool probe_cave(const Axis& axis);
  bool probe_isle(const Axis& axis);
  bool probe(ProbeKind kind, const Axis& axis);
  void move(bool armed, char letter, double value);
  void centre(const Axis& axis);
  void step_progress();
  double current(char letter) const;
  void refresh();

  Context& ctx_;
  FindCentreFields& fields_;
  Clock now_;
  // Per-run values, read from the fields when a run starts.
  int travel_x_ = 0, travel_y_ = 0;
  std::int16_t slack_ = 0, z_step_ = 0;
};

}  // namespace vireo
