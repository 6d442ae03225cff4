// The text windows of the main window: the document (job) window `frmDocument` with its text view
// `rtftext` and the job controls, the output window `frm_out` (where the "rtf" sink writes) and the
// auxiliary window `frm_aux`.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "app/gui/text_edit.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace vireo {

struct UiContext;
enum class JobControl;

// The default caption of a document never saved.
inline constexpr char kNewDocumentCaption[] = "Documento 1";

class DocumentWindow : public QWidget {
  Q_OBJECT
 public:
  DocumentWindow(UiContext& context, QWidget* parent = nullptr);

  TextEdit* edit() const { return edit_; }
  QtTextView& view() { return view_; }
  QWidget* control(JobControl control) const;
  QPushButton* pause_button() const { return pause_; }
  QListWidget* tool_list() const { return tool_list_; }
  QLabel* progress_label() const { return progress_; }
  // Lines delivered, time elapsed and time left of the run, beside the percentage.
  QLabel* progress_detail() const { return progress_detail_; }
  // The line end the document's file uses, kept for saving.
  std::string line_end = "\r\n";

  // Paints the pause button in the alert colour or the button face.
  void set_pause_alert(bool alert);

 signals:
  void cancel_requested();  // doc_exit, Esc, closing the window
  void tool_ok_clicked();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void refresh_progress();

  UiContext& context_;
  TextEdit* edit_;
  QtTextView view_;
  QLabel* progress_;
  QLabel* progress_detail_;
  QPushButton* pause_;
  QPushButton* next_;
  QPushButton* cancel_;
  QListWidget* tool_list_;
  QPushButton* tool_ok_;
  QLabel* image_;
  QTimer* timer_;
};

// The output and auxiliary windows: a text view 100 twips inside the window's edges.
class TextWindow : public QWidget {
  Q_OBJECT
 public:
  TextWindow(const QString& object_name, const QString& view_name, QWidget* parent = nullptr);

  TextEdit* edit() const { return edit_; }
  QtTextView& view() { return view_; }

 signals:
  void escape_pressed();
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TextEdit* edit_;
  QtTextView view_;
};

// Pixels for a length in twips at the widget's logical resolution, and back.
int twips_to_pixels(const QWidget* widget, int twips);
int pixels_to_twips(const QWidget* widget, int pixels);

}  // namespace vireo
