#include "app/gui/status_cadence.h"

#include <QString>
#include <utility>

namespace vireo {

namespace {
constexpr int kCadenceMs = 15;
}  // namespace

StatusCadence::StatusCadence(ShowPanel show_panel, ShowDigit show_digit)
    : show_panel_(std::move(show_panel)), show_digit_(std::move(show_digit)) {
  timer_.setSingleShot(true);
  timer_.setInterval(kCadenceMs);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { show_all(); });
}

void StatusCadence::arm() {
  if (!timer_.isActive()) timer_.start();
}

void StatusCadence::keep_panel(int panel, std::string_view text) {
  if (panel < 1 || panel > 7) return;
  texts_[static_cast<std::size_t>(panel)].assign(text);
  texts_kept_.set(static_cast<std::size_t>(panel));
  arm();
}

void StatusCadence::keep_digit(int digit, double value) {
  if (digit < 1 || digit > 8) return;
  digits_[static_cast<std::size_t>(digit)] = value;
  digits_kept_.set(static_cast<std::size_t>(digit));
  arm();
}

void StatusCadence::drop_panel(int panel) {
  if (panel >= 1 && panel <= 7) texts_kept_.reset(static_cast<std::size_t>(panel));
}

void StatusCadence::show_digit_now(int digit) {
  if (digit < 1 || digit > 8 || !digits_kept_.test(static_cast<std::size_t>(digit))) return;
  digits_kept_.reset(static_cast<std::size_t>(digit));
  show_digit_(digit, digits_[static_cast<std::size_t>(digit)]);
}

void StatusCadence::show_all() {
  timer_.stop();
  for (std::size_t panel = 1; panel < texts_.size(); ++panel) {
    if (!texts_kept_.test(panel)) continue;
    texts_kept_.reset(panel);
    const std::string& text = texts_[panel];
    show_panel_(static_cast<int>(panel), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  }
  for (int digit = 1; digit <= 8; ++digit) show_digit_now(digit);
}

}  // namespace vireo
