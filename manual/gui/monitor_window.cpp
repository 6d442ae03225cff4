#include "manual/gui/monitor_window.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/context.h"
#include "manual/monitor.h"

namespace vireo {
namespace {

constexpr int kMonitorCaption = 1069;

}  // namespace

MonitorWindow::MonitorWindow(Context& context, QWidget* parent) : QWidget(parent), context_(context) {
  setObjectName("frm_monitor");
  setWindowTitle(QString::number(kMonitorCaption));
  auto* column = new QVBoxLayout(this);
  command_leggi_ = new QPushButton(QStringLiteral("READ DATA FROM CNC"), this);
  command_leggi_->setObjectName("command_leggi");
  command_leggi_->setAutoFillBackground(true);
  textbox_lettura_ = new QPlainTextEdit(this);
  textbox_lettura_->setObjectName("textbox_lettura");
  textbox_lettura_->setReadOnly(true);
  QFont fixed(QStringLiteral("monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  textbox_lettura_->setFont(fixed);
  column->addWidget(command_leggi_);
  column->addWidget(textbox_lettura_, 1);
  connect(command_leggi_, &QPushButton::clicked, this, [this] { read(); });
}

void MonitorWindow::read() {
  textbox_lettura_->clear();
  const Rgb c = kReadingColour;
  command_leggi_->setStyleSheet(QStringLiteral("background-color: rgb(%1, %2, %3);").arg(c.r).arg(c.g).arg(c.b));
  command_leggi_->setEnabled(false);
  // Closing the window ends the read; the window may be gone by then.
  const QPointer<MonitorWindow> self(this);
  const std::string reply = read_monitor(context_);
  if (!self) return;
  command_leggi_->setEnabled(true);
  command_leggi_->setStyleSheet(QString());
  textbox_lettura_->setPlainText(QString::fromLatin1(reply.data(), static_cast<qsizetype>(reply.size())));
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
  monitor_closed(context_);
  QWidget::closeEvent(event);
}

}  // namespace vireo
