// The position display window (`frm_display`): eight digit controls of lumen showing X, Y, Z, feed,
// spindle, A, B and C, and the commands Paste, SYNC, EXIT (emergency, blinking until Reset) and the
// size toggle that shows the rotary axes. A click on a digit row copies its value to the clipboard.
#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QToolButton;

namespace lumen {
class aff;
}

namespace vireo {

struct Context;

class DisplayWindow : public QWidget {
  Q_OBJECT

 public:
  // The opening step: the display-open flag, every value 0, the digit counts, the colours shown.
  explicit DisplayWindow(Context& context, QWidget* parent = nullptr);
  ~DisplayWindow() override;

  // Display digit 1 to 8.
  lumen::aff* digit(int number) const { return digits_.at(static_cast<std::size_t>(number - 1)); }
  void show_digit(int number, double value);
  void set_digit_colour(int number, int colour);
  // Every digit in the display's colour with its value, as refresh_display does through the host.
  void refresh();

  QPushButton* paste_button() const { return paste_; }
  QPushButton* sync_button() const { return sync_; }
  QPushButton* emergency_button() const { return emergency_; }
  QPushButton* reset_button() const { return reset_; }
  QToolButton* size_toggle() const { return size_toggle_; }
  QTimer& lamp_timer() { return lamp_; }
  // The emergency key's background.
  QColor lamp_colour() const { return lamp_colour_; }

  // Runs after the size toggle changed the expanded flag, so the main window can place this window
  // and the preview beside it.
  std::function<void()> on_size_changed;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void press_emergency();
  void reset_emergency();
  void blink();
  void toggle_size();
  void set_lamp(const QColor& colour);
  void show_expanded();

  Context& context_;
  std::array<lumen::aff*, 8> digits_{};
  QWidget* angular_ = nullptr;  // the rotary axes, shown while expanded
  QPushButton* paste_ = nullptr;
  QPushButton* sync_ = nullptr;
  QPushButton* emergency_ = nullptr;
  QPushButton* reset_ = nullptr;
  QToolButton* size_toggle_ = nullptr;
  QTimer lamp_;
  QColor lamp_colour_;
};

}  // namespace vireo
