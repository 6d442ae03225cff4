// The rich-text view of the document, output and auxiliary windows, and its TextView face for the
// logic.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QTextCursor>
#include <QTimer>

#include "core/text_view.h"

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

// The logic's text view over a TextEdit. Text crosses as Latin-1; line ends read as "\n".
//
// The logic reads and moves the selection once per character in a run, so the selection lives here
// and reaches the widget only when events are processed: the widget shows where a run stands without
// doing work per character. The whole text is converted once and kept until the document changes.
//
// In the output window each appended line shows on its own row: the row breaks are the view's own and
// are not part of the text the logic sees (positions, length, text, lines all leave them out). The
// operator cannot edit such a view. There the lines appended at the end and their colourings wait in
// a pending tail and reach the document together, in one edit, when events are processed or before
// anything reads the document: one layout of the document per batch instead of one per line. The
// tail counts in the length and the positions exactly as if it were in the document.
class QtTextView : public TextView {
 public:
  explicit QtTextView(TextEdit* edit);
  ~QtTextView() override;
  QtTextView(const QtTextView&) = delete;
  QtTextView& operator=(const QtTextView&) = delete;

  TextEdit* edit() const { return edit_; }
  // Appends at the end of the text start a new row (for the output window); read-only for the operator.
  void set_row_per_append(bool on);

  std::string text() const override;
  long length() const override;
  // A large text goes in piece by piece with the window repainting in between; the callback hears
  // the percentage done.
  void set_text(std::string_view text) override;
  std::function<void(int)> on_load_progress;
  // The operator moved the caret or the selection (not the logic): the new selection start.
  std::function<void(long)> on_caret_moved;
  // Shows the logic's selection in the widget now (before a widget command such as copy).
  void show_selection();
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
  // The lines appended at the end and not yet in the document. Each appended character takes the
  // format of the character before it, as in the document: the format before the tail, with the
  // foreground a colouring gave it (none: that format as it is).
  using TailColour = std::optional<Rgb>;
  struct PendingTail {
    struct Row {  // a row break before text[at], in its own colour
      qsizetype at;
      TailColour colour;
    };
    struct Run {  // text from the end of the run before up to `end`, in one colour
      qsizetype end;
      TailColour colour;
    };
    QString text;  // without the row breaks
    std::vector<Row> rows;
    std::vector<Run> runs;

    TailColour last_colour() const { return runs.empty() ? TailColour{} : runs.back().colour; }
    void append(const QString& more, bool new_row);
    void colour(qsizetype from, qsizetype to, Rgb rgb);
    void split_at(qsizetype at);
  };

  // Puts the pending tail into the document in one edit block, run by run.
  void put_up_pending();
  // The same for readers of the document: what the logic sees does not change.
  void settle() const { const_cast<QtTextView*>(this)->put_up_pending(); }
  // The length of the text in the document, without the pending tail.
  long document_text_length() const;
  // Whether the text, pending tail included, ends with a line end.
  bool ends_with_line_end() const;
  void colour(long start, long length, Rgb color);
  // Positions in the widget's document and in the logic's text differ by the row breaks before them.
  int document_position(long position) const;
  long text_position(int document_position) const;
  QTextCursor cursor(long start, long length) const;
  void show_selection_later();
  void take_widget_selection();

  TextEdit* edit_;
  long start_ = 0;
  long length_ = 0;
  bool row_per_append_ = false;
  std::vector<int> row_breaks_;  // document positions of the view's own row breaks, ascending
  PendingTail pending_;
  bool show_pending_ = false;
  bool own_change_ = false;  // the view itself is moving the widget's cursor or editing
  mutable std::optional<std::string> cache_;
  // The document's character count, read once per change of the document (reading it walks the document).
  mutable std::optional<int> characters_;
  std::vector<QMetaObject::Connection> connections_;
  QTimer show_timer_;
};

// Latin-1 text for the view: "\r\n" and lone "\r" become "\n".
QString view_text(std::string_view text);
// The view's text as Latin-1: paragraph and line separators become "\n".
std::string latin1_text(const QString& text);

}  // namespace vireo
