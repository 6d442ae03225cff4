// The jog keypad window (`frm_tastierino`): homing, origin, jog, feed and speed buttons, the EEROM
// buffer, take tool and calibration. Its texts are string ids until the program localises it; every
// button calls the keypad logic. While the window has the focus the arrow keys jog X and Y and
// Page Up / Page Down jog Z, as the buttons do while held.
#pragma once

#include <QWidget>

#include "manual/keypad.h"

class QAbstractButton;
class QCheckBox;
class QTimer;
class QToolButton;

namespace vireo {

struct Context;

class KeypadWindow : public QWidget {
  Q_OBJECT
 public:
  explicit KeypadWindow(Context& context, QWidget* parent = nullptr);

  const KeypadState& state() const { return state_; }
  QTimer* repeat_timer() const { return timer1_; }
  QAbstractButton* button(const char* name) const;
  QCheckBox* load_buffer() const { return load_buf_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  static QToolButton* plain_button(QWidget* parent, const char* name, const QString& caption, int tip);
  QToolButton* command_button(const char* name, const char* caption, std::string_view command, int tip);
  QToolButton* jog_button(const char* name, const char* caption, std::string_view jog);
  QToolButton* speed_button(const char* name, SpeedGroup group, int tip);
  void press(std::string_view jog);
  void release();
  void paint_speed(QToolButton* button, bool fast);

  Context& context_;
  KeypadState state_;
  QTimer* timer1_;
  QToolButton* k_fast1_ = nullptr;
  QToolButton* k_fast2_ = nullptr;
  QCheckBox* load_buf_ = nullptr;
  int held_key_ = 0;  // the key that jogs while it is held, 0 for none
};

}  // namespace vireo
