#include "app/gui/text_edit.h"

#include "app/find.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <algorithm>

namespace vireo {

TextEdit::TextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QFont mono(QStringLiteral("Monospace"));
  mono.setStyleHint(QFont::TypeWriter);
  setFont(mono);
}

bool TextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasHtml() || QPlainTextEdit::canInsertFromMimeData(source);
}

void TextEdit::insertFromMimeData(const QMimeData* source) {
  if (source->hasHtml()) {
    textCursor().insertFragment(QTextDocumentFragment::fromHtml(source->html(), document()));
    ensureCursorVisible();
    return;
  }
  QPlainTextEdit::insertFromMimeData(source);
}

void TextEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit escape_pressed();
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

QString view_text(std::string_view text) {
  QString out = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

std::string latin1_text(const QString& text) {
  QString copy = text;
  copy.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  copy.replace(QChar::LineSeparator, QLatin1Char('\n'));
  const QByteArray bytes = copy.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QtTextView::QtTextView(TextEdit* edit) : edit_(edit) {
  connections_ = {
      QObject::connect(edit_->document(), &QTextDocument::contentsChanged, edit_, [this] {
        cache_.reset();
        characters_.reset();
      }),
      QObject::connect(edit_, &QPlainTextEdit::cursorPositionChanged, edit_, [this] { take_widget_selection(); }),
      QObject::connect(edit_, &QPlainTextEdit::selectionChanged, edit_, [this] { take_widget_selection(); }),
  };
  // The timer goes with the view, so a selection still to be shown never outlives it.
  show_timer_.setSingleShot(true);
  QObject::connect(&show_timer_, &QTimer::timeout, &show_timer_, [this] { show_selection(); });
}

// The widget may outlive the view (a window's members go before its child widgets): it must not
// call back into it.
QtTextView::~QtTextView() {
  for (const QMetaObject::Connection& connection : connections_) QObject::disconnect(connection);
}

void QtTextView::set_row_per_append(bool on) {
  put_up_pending();
  row_per_append_ = on;
  edit_->setReadOnly(on);
  // The operator cannot edit the output, so there is nothing to undo there.
  edit_->document()->setUndoRedoEnabled(!on);
}

void QtTextView::PendingTail::append(const QString& more, bool new_row) {
  const TailColour colour = last_colour();
  if (new_row) rows.push_back({text.size(), colour});
  text += more;
  if (!runs.empty() && runs.back().colour == colour) runs.back().end = text.size();
  else runs.push_back({text.size(), colour});
}

// Makes a run end at `at`, unless one does already.
void QtTextView::PendingTail::split_at(qsizetype at) {
  const auto holding = std::upper_bound(runs.begin(), runs.end(), at, [](qsizetype a, const Run& run) { return a < run.end; });
  if (at == 0 || holding == runs.end()) return;
  const qsizetype start = holding == runs.begin() ? 0 : std::prev(holding)->end;
  if (start != at) runs.insert(holding, Run{at, holding->colour});
}

void QtTextView::PendingTail::colour(qsizetype from, qsizetype to, Rgb rgb) {
  if (from >= to) return;
  split_at(from);
  split_at(to);
  auto run = std::upper_bound(runs.begin(), runs.end(), from, [](qsizetype a, const Run& r) { return a < r.end; });
  for (; run != runs.end() && run->end <= to; ++run) run->colour = rgb;
  // In the document the selection takes in the row breaks after its start, up to the one at its end.
  auto row = std::upper_bound(rows.begin(), rows.end(), from, [](qsizetype a, const Row& r) { return a < r.at; });
  for (; row != rows.end() && row->at <= to; ++row) row->colour = rgb;
}

void QtTextView::put_up_pending() {
  if (pending_.text.isEmpty()) return;
  const PendingTail tail = std::move(pending_);
  pending_ = {};
  QTextCursor end(edit_->document());
  end.movePosition(QTextCursor::End);
  QTextCharFormat base = end.charFormat();
  base.clearProperty(QTextFormat::ObjectType);
  const QTextBlockFormat block = end.blockFormat();
  // The few formats of a tail, made once each.
  std::vector<std::pair<TailColour, QTextCharFormat>> formats;
  const auto format_of = [&](const TailColour& colour) -> const QTextCharFormat& {
    for (const auto& [known, format] : formats)
      if (known == colour) return format;
    QTextCharFormat format = base;
    if (colour) format.setForeground(QColor(colour->r, colour->g, colour->b));
    return formats.emplace_back(colour, format).second;
  };
  own_change_ = true;
  // One edit block: the document is laid out once for the whole tail.
  end.beginEditBlock();
  auto row = tail.rows.begin();
  qsizetype at = 0;
  for (const PendingTail::Run& run : tail.runs) {
    while (at < run.end) {
      if (row != tail.rows.end() && row->at == at) {
        row_breaks_.push_back(end.position());
        end.insertBlock(block, format_of(row->colour));
        ++row;
      }
      const qsizetype stop = row != tail.rows.end() && row->at < run.end ? row->at : run.end;
      end.insertText(tail.text.sliced(at, stop - at), format_of(run.colour));
      at = stop;
    }
  }
  end.endEditBlock();
  own_change_ = false;
}

int QtTextView::document_position(long position) const {
  // Row break k, at document position p, comes before every text position from p - k on; p - k never
  // decreases along the list, so the breaks before a position are found by halving.
  std::size_t before = 0, above = row_breaks_.size();
  while (before < above) {
    const std::size_t mid = before + (above - before) / 2;
    if (row_breaks_[mid] - static_cast<long>(mid) <= position) before = mid + 1;
    else above = mid;
  }
  return static_cast<int>(position + static_cast<long>(before));
}

long QtTextView::text_position(int document_position) const {
  const auto before = std::lower_bound(row_breaks_.begin(), row_breaks_.end(), document_position) - row_breaks_.begin();
  return document_position - static_cast<long>(before);
}

QTextCursor QtTextView::cursor(long start, long length) const {
  QTextCursor c(edit_->document());
  c.setPosition(document_position(start));
  if (length > 0) c.setPosition(document_position(start + length), QTextCursor::KeepAnchor);
  return c;
}

void QtTextView::show_selection_later() {
  if (show_pending_) return;
  show_pending_ = true;
  show_timer_.start(0);
}

void QtTextView::show_selection() {
  put_up_pending();
  show_pending_ = false;
  own_change_ = true;
  // The output's colouring selects each token in turn: the widget shows the newest line instead.
  edit_->setTextCursor(row_per_append_ ? cursor(length(), 0) : cursor(start_, length_));
  own_change_ = false;
}

void QtTextView::take_widget_selection() {
  if (own_change_ || show_pending_) return;
  const QTextCursor c = edit_->textCursor();
  start_ = text_position(c.selectionStart());
  length_ = text_position(c.selectionEnd()) - start_;
  if (on_caret_moved) on_caret_moved(start_);
}

std::string QtTextView::text() const {
  settle();
  if (!cache_) {
    QString whole = edit_->document()->toPlainText();
    for (auto it = row_breaks_.rbegin(); it != row_breaks_.rend(); ++it) whole.remove(*it, 1);
    cache_ = latin1_text(whole);
  }
  return *cache_;
}

long QtTextView::document_text_length() const {
  if (!characters_) characters_ = edit_->document()->characterCount() - 1;
  return std::max(0L, static_cast<long>(*characters_) - static_cast<long>(row_breaks_.size()));
}

long QtTextView::length() const { return document_text_length() + static_cast<long>(pending_.text.size()); }

bool QtTextView::ends_with_line_end() const {
  if (!pending_.text.isEmpty()) return pending_.text.back() == QLatin1Char('\n');
  const int end = edit_->document()->characterCount() - 1;
  return end > 0 && edit_->document()->characterAt(end - 1) == QChar::ParagraphSeparator;
}

namespace {
// Large texts are loaded in pieces of about this size, each ended at a line end.
constexpr std::size_t kLoadPiece = std::size_t{1} << 19;

// Searches over more characters than this use the kept text.
constexpr long kSearchInTextFrom = 1 << 16;

std::size_t piece_end(std::string_view text, std::size_t from) {
  if (text.size() - from <= kLoadPiece) return text.size();
  const std::size_t line_end = text.find('\n', from + kLoadPiece);
  return line_end == std::string_view::npos ? text.size() : line_end + 1;
}
}  // namespace

void QtTextView::set_text(std::string_view text) {
  own_change_ = true;
  pending_ = {};
  row_breaks_.clear();
  QTextDocument* document = edit_->document();
  std::size_t at = piece_end(text, 0);
  edit_->setPlainText(view_text(text.substr(0, at)));
  if (at < text.size()) {
    // The window keeps painting while a large text goes in, piece by piece; the operator's input
    // waits until the whole text is there.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor end(document);
    while (at < text.size()) {
      const std::size_t next = piece_end(text, at);
      end.movePosition(QTextCursor::End);
      end.insertText(view_text(text.substr(at, next - at)));
      at = next;
      if (on_load_progress) on_load_progress(static_cast<int>(100.0 * static_cast<double>(at) / static_cast<double>(text.size())));
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    document->setUndoRedoEnabled(undo);
  }
  own_change_ = false;
  cache_.reset();
  start_ = length_ = 0;
  show_selection_later();
}

long QtTextView::selection_start() const { return start_; }

void QtTextView::set_selection_start(long start) {
  start_ = std::clamp(start, 0L, length());
  length_ = 0;
  show_selection_later();
}

long QtTextView::selection_length() const { return length_; }

void QtTextView::set_selection_length(long wanted) {
  length_ = std::clamp(wanted, 0L, length() - start_);
  show_selection_later();
}

std::string QtTextView::selected_text() const {
  if (length_ <= 0) return {};
  settle();
  if (cache_) return cache_->substr(static_cast<std::size_t>(start_), static_cast<std::size_t>(length_));
  QString selected = cursor(start_, length_).selectedText();
  // A row break inside the selection is not text.
  if (!row_breaks_.empty()) {
    const int from = document_position(start_);
    for (auto it = row_breaks_.rbegin(); it != row_breaks_.rend(); ++it)
      if (*it >= from && *it - from < selected.size()) selected.remove(*it - from, 1);
  }
  return latin1_text(selected);
}

void QtTextView::replace_selection(std::string_view text) {
  const QString inserted = view_text(text);
  if (row_per_append_ && length_ == 0 && start_ == length()) {
    // An append: it waits in the pending tail, on a new row unless the text ends a line already.
    if (!inserted.isEmpty())
      pending_.append(inserted, start_ > 0 && !inserted.startsWith(QLatin1Char('\n')) && !ends_with_line_end());
    start_ = length();
    show_selection_later();
    return;
  }
  put_up_pending();
  own_change_ = true;
  QTextCursor c = cursor(start_, length_);
  c.insertText(inserted);
  own_change_ = false;
  start_ = text_position(c.position());
  length_ = 0;
  show_selection_later();
}

void QtTextView::set_selection_color(Rgb color) {
  // A colouring inside the pending tail waits with it.
  if (const long tail_start = document_text_length(); !pending_.text.isEmpty() && start_ >= tail_start) {
    pending_.colour(start_ - tail_start, start_ + length_ - tail_start, color);
    return;
  }
  put_up_pending();
  own_change_ = true;
  colour(start_, length_, color);
  own_change_ = false;
}

void QtTextView::colour(long start, long length, Rgb color) {
  QTextCharFormat format;
  format.setForeground(QColor(color.r, color.g, color.b));
  cursor(start, length).mergeCharFormat(format);
}

long QtTextView::find(std::string_view what, long from, long to, FindOptions options) {
  if (what.empty()) return -1;
  put_up_pending();
  const long end = to < 0 || to > length() ? length() : to;
  from = std::clamp(from, 0L, length());
  long match_start = -1;
  // Long searches run over the kept text (converted once); a short one near the end of a growing
  // text, as the text sink makes after every line, asks the document.
  if (cache_ || end - from > kSearchInTextFrom) {
    match_start = find_in_text(text(), what, from, end, options.whole_word, options.match_case);
  } else {
    QTextDocument::FindFlags flags;
    if (options.whole_word) flags |= QTextDocument::FindWholeWords;
    if (options.match_case) flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor found = edit_->document()->find(view_text(what), document_position(from), flags);
    if (!found.isNull() && text_position(found.selectionEnd()) <= end) match_start = text_position(found.selectionStart());
  }
  if (match_start < 0) return -1;
  start_ = match_start;
  length_ = static_cast<long>(what.size());
  show_selection_later();
  return match_start;
}

long QtTextView::line_of(long position) const {
  settle();
  const int at = document_position(std::clamp(position, 0L, length()));
  const QTextBlock block = edit_->document()->findBlock(at);
  if (!block.isValid()) return 0;
  const auto breaks_before = std::lower_bound(row_breaks_.begin(), row_breaks_.end(), at) - row_breaks_.begin();
  return block.blockNumber() - static_cast<long>(breaks_before);
}

void QtTextView::set_enabled(bool enabled) { edit_->setEnabled(enabled); }

}  // namespace vireo
