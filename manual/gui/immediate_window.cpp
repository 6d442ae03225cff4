#include "manual/gui/immediate_window.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

#include "core/context.h"
#include "link/job_window.h"
#include "manual/immediate.h"

namespace vireo {
namespace {

// String ids of the window's texts (Italian numbering).
constexpr int kCaption = 1059, kSend = 1118, kSendHint = 1119, kLabel = 1120;

QString latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string to_latin1(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

void CommandLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) || (event->key() == Qt::Key_C && (event->modifiers() & Qt::ControlModifier))) {
    emit comment_requested();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

ImmediateWindow::ImmediateWindow(Context& context, QWidget* parent) : QWidget(parent), context_(context) {
  setObjectName("frm_immediato");
  setWindowTitle(QString::number(kCaption));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(3, 2, 3, 2);
  grid->setSpacing(1);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  setFont(small);
  auto* label = new QLabel(QString::number(kLabel), this);
  label->setObjectName("Label1");
  grid->addWidget(label, 0, 0, 1, 2);
  for (int i = 0; i < kImmediateLines; ++i) {
    auto* edit = new CommandLineEdit(this);
    edit->setObjectName(QStringLiteral("txtgo_%1").arg(i + 1));
    auto* send = new QToolButton(this);
    send->setText(QString::number(kSend));
    send->setObjectName(QStringLiteral("ok_%1").arg(i + 1));
    send->setToolTip(QString::number(kSendHint));
    grid->addWidget(edit, i + 1, 0);
    grid->addWidget(send, i + 1, 1);
    txtgo_[static_cast<std::size_t>(i)] = edit;
    ok_[static_cast<std::size_t>(i)] = send;
    connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
      set_immediate_text(context_, i, to_latin1(text));
    });
    connect(edit, &CommandLineEdit::comment_requested, this, [this, i, edit] {
      if (ask_immediate_comment(context_, i)) edit->setToolTip(latin1(immediate_hint(context_, i)));
    });
    connect(send, &QToolButton::clicked, this, [this, i] { send_immediate_command(context_, i); });
  }
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(kImmediateLines + 1, 1);
  refresh();
}

void ImmediateWindow::refresh() {
  for (int i = 0; i < kImmediateLines; ++i) {
    CommandLineEdit* edit = txtgo_[static_cast<std::size_t>(i)];
    if (edit->text() != latin1(immediate_text(context_, i))) edit->setText(latin1(immediate_text(context_, i)));
    edit->setToolTip(latin1(immediate_hint(context_, i)));
  }
}

// The comments are set again once the window is localised, so that a comment made of digits is never
// taken for a string id.
void ImmediateWindow::showEvent(QShowEvent* event) {
  refresh();
  QWidget::showEvent(event);
}

void ImmediateWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    request_stop(context_);
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace vireo
