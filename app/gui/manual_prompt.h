// The manual tool-change prompt `manual`: the sentence of the tool change in `Label1` and four
// answers. It does not block: the tool change waits for it by letting the event loop run, and its
// buttons only call the prompt logic.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vireo {

struct UiContext;

class ManualPrompt : public QWidget {
  Q_OBJECT
 public:
  explicit ManualPrompt(UiContext& context, QWidget* parent = nullptr);

  // Loads the prompt with its sentence, at its place over `origin` (the screen without one).
  void open(const QString& text, QWidget* origin);

  QLabel* text_label() const { return label1_; }
  QPushButton* change_button() const { return puls_change_; }
  QPushButton* dev_button() const { return puls_dev_; }
  QPushButton* ok_button() const { return puls_ok_; }
  QPushButton* skip_button() const { return puls_skip_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void change_tool(bool skip_calibration);

  UiContext& context_;
  QLabel* label1_;
  QPushButton* puls_change_;
  QPushButton* puls_dev_;
  QPushButton* puls_ok_;
  QPushButton* puls_skip_;
};

}  // namespace vireo
