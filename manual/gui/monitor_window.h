// The monitor window (`frm_monitor`): one button that asks the controller for its data and a text
// that shows every byte of the reply.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace vireo {

struct Context;

class MonitorWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MonitorWindow(Context& context, QWidget* parent = nullptr);

  QPushButton* read_button() const { return command_leggi_; }
  QPlainTextEdit* text() const { return textbox_lettura_; }
  // The read button's work: the reply, until the controller falls silent.
  void read();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Context& context_;
  QPushButton* command_leggi_;
  QPlainTextEdit* textbox_lettura_;
};

}  // namespace vireo
