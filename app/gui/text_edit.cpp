#include "app/gui/text_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
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
  QObject::connect(edit_->document(), &QTextDocument::contentsChanged, edit_, [this] { cache_.reset(); });
}

std::string QtTextView::text() const {
  if (!cache_) cache_ = latin1_text(edit_->document()->toPlainText());
  return *cache_;
}

long QtTextView::length() const { return std::max(0, edit_->document()->characterCount() - 1); }

void QtTextView::set_text(std::string_view text) {
  edit_->setPlainText(view_text(text));
  cache_.reset();
}

long QtTextView::selection_start() const { return edit_->textCursor().selectionStart(); }

void QtTextView::set_selection_start(long start) {
  QTextCursor cursor = edit_->textCursor();
  cursor.setPosition(static_cast<int>(std::clamp(start, 0L, length())));
  edit_->setTextCursor(cursor);
}

long QtTextView::selection_length() const {
  const QTextCursor cursor = edit_->textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void QtTextView::set_selection_length(long wanted) {
  QTextCursor cursor = edit_->textCursor();
  const long start = cursor.selectionStart();
  cursor.setPosition(static_cast<int>(start));
  cursor.setPosition(static_cast<int>(start + std::clamp(wanted, 0L, length() - start)), QTextCursor::KeepAnchor);
  edit_->setTextCursor(cursor);
}

std::string QtTextView::selected_text() const { return latin1_text(edit_->textCursor().selectedText()); }

void QtTextView::replace_selection(std::string_view text) {
  QTextCursor cursor = edit_->textCursor();
  cursor.insertText(view_text(text));
  edit_->setTextCursor(cursor);
}

void QtTextView::set_selection_color(Rgb color) {
  QTextCharFormat format;
  format.setForeground(QColor(color.r, color.g, color.b));
  edit_->textCursor().mergeCharFormat(format);
}

long QtTextView::find(std::string_view what, long from, long to, FindOptions options) {
  if (what.empty()) return -1;
  QTextDocument::FindFlags flags;
  if (options.whole_word) flags |= QTextDocument::FindWholeWords;
  if (options.match_case) flags |= QTextDocument::FindCaseSensitively;
  const long end = to < 0 || to > length() ? length() : to;
  const QTextCursor found = edit_->document()->find(view_text(what), static_cast<int>(std::clamp(from, 0L, length())), flags);
  if (found.isNull() || found.selectionEnd() > end) return -1;
  edit_->setTextCursor(found);
  return found.selectionStart();
}

long QtTextView::line_of(long position) const {
  const QTextBlock block = edit_->document()->findBlock(static_cast<int>(std::clamp(position, 0L, length())));
  return block.isValid() ? block.blockNumber() : 0;
}

void QtTextView::set_enabled(bool enabled) { edit_->setEnabled(enabled); }

}  // namespace vireo
