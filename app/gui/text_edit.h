// The rich-text view of the document, output and auxiliary windows, and its TextView face for the
// logic.
#pragma once

#include <QPlainTextEdit>
#include <optional>
#include <string>

#include "app/text_view.h"

namespace vireo {

// A plain-text editor that keeps character formats (colours): copying puts both the rich form and
// plain text on the clipboard, and pasting rich text inserts it with its formats, so a copy and paste
// inside the program keeps the colours while other programs receive plain text. It lays text out
// block by block, so documents of tens of megabytes load and scroll without delay.
class TextEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TextEdit(QWidget* parent = nullptr);

 signals:
  // Esc (character 27) in the view.
  void escape_pressed();

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The logic's text view over a TextEdit. Text crosses as Latin-1; line ends read as "\n". The whole
// text is converted once and kept until the document changes, so reading it repeatedly costs nothing.
class QtTextView : public TextView {
 public:
  explicit QtTextView(TextEdit* edit);

  TextEdit* edit() const { return edit_; }

  std::string text() const override;
  long length() const override;
  void set_text(std::string_view text) override;
  long selection_start() const override;
  void set_selection_start(long start) override;
  long selection_length() const override;
  void set_selection_length(long length) override;
  std::string selected_text() const override;
  void replace_selection(std::string_view text) override;
  void set_selection_color(Rgb color) override;
  long find(std::string_view what, long from, long to, FindOptions options) override;
  long line_of(long position) const override;
  void set_enabled(bool enabled) override;

 private:
  TextEdit* edit_;
  mutable std::optional<std::string> cache_;
};

// Latin-1 text for the view: "\r\n" and lone "\r" become "\n".
QString view_text(std::string_view text);
// The view's text as Latin-1: paragraph and line separators become "\n".
std::string latin1_text(const QString& text);

}  // namespace vireo
