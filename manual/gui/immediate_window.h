// The immediate-command window (`frm_immediato`): ten command lines `txtgo`, each with its send button
// `ok`. The lines are the settings record's slots 160-169, their comments (tooltips) slots 170-179;
// Ctrl+C in a line asks for its comment. Its texts are string ids until the program localises it.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <array>

class QToolButton;

namespace vireo {

struct Context;

// A command line that reports Ctrl+C (character code 3) instead of copying.
class CommandLineEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
 signals:
  void comment_requested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class ImmediateWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ImmediateWindow(Context& context, QWidget* parent = nullptr);

  QLineEdit* line(int index) const { return txtgo_.at(static_cast<std::size_t>(index)); }
  QToolButton* send_button(int index) const { return ok_.at(static_cast<std::size_t>(index)); }
  // Shows the lines and comments of the settings record (after a setup was loaded).
  void refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Context& context_;
  std::array<CommandLineEdit*, 10> txtgo_{};
  std::array<QToolButton*, 10> ok_{};
};

}  // namespace vireo
