// The tool window `frm_tool`: eight tool buttons with their descriptions, "Deponi" and "cancel",
// under a caption label. It stays above the other windows, has rounded corners, and opens beside the
// window that asked for a tool. Its buttons only call the tool-window logic and close it.
#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

namespace vireo {

struct UiContext;

class ToolSelectWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ToolSelectWindow(UiContext& context, QWidget* parent = nullptr);

  // Loads the window (the tool change now waits for it), shows `caption` in its label `com` and the
  // two optional buttons as asked, and places it beside `caller`, or over its top left corner when
  // `over` is set (the screen's top left without a caller).
  void open(const QString& caption, bool show_put_away, bool show_cancel, QWidget* caller, bool over = false);

  QLabel* caption_label() const { return com_; }
  QPushButton* tool_button(int index) const { return tool1_[index]; }  // index 0 to 7: tools 1 to 8
  QLabel* description(int index) const { return label1_[index]; }
  QPushButton* put_away_button() const { return puls_deponi_; }
  QPushButton* cancel_button() const { return puls_cancel_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void choose(int tool);
  void round_corners();

  UiContext& context_;
  QLabel* com_;
  std::array<QPushButton*, 8> tool1_{};
  std::array<QLabel*, 8> label1_{};
  QPushButton* puls_deponi_;
  QPushButton* puls_cancel_;
  bool loaded_ = false;
};

}  // namespace vireo
