// The find-centre window (`TrovaCentro`): the travels of the two kinds, the slack and the island's Z
// step, six start buttons, the contacts and centres found and the progress of a run. The window only
// copies its fields in and out; the probing is the find-centre logic. Esc aborts a run after its
// current contact.
#pragma once

#include <QWidget>

#include "manual/find_centre.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace vireo {

struct Context;

class FindCentreWindow : public QWidget {
  Q_OBJECT
 public:
  explicit FindCentreWindow(Context& context, QWidget* parent = nullptr);

  // A start button's run, as its click does it.
  void start(ProbeKind kind, ProbeAxes axes);
  QPushButton* start_button(ProbeKind kind, ProbeAxes axes) const;
  QLineEdit* centre_x() const { return x_centre_; }
  QLineEdit* centre_y() const { return y_centre_; }
  QProgressBar* progress() const { return progress_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void take_fields();
  void show_fields();

  Context& context_;
  FindCentreFields fields_;
  QLineEdit *cave_x_, *cave_y_, *isle_x_, *isle_y_, *off_xy_, *off_z_;
  QLabel *x_min_, *x_max_, *y_min_, *y_max_;
  QLineEdit *x_centre_, *y_centre_;
  QProgressBar* progress_;
  QPushButton* buttons_[2][3] = {};
  bool running_ = false;
};

}  // namespace vireo
