#include "app/gui/tool_select_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui_context.h"
#include "link/job_window.h"
#include "link/operator_prompts.h"

namespace vireo {
namespace {

constexpr int kCornerRadius = 14;
constexpr int kGap = 4;  // between the window and the one it opens beside
// The room a tool's description has beside its button; a longer one is cut with "..." and shown
// whole in its tip.
constexpr int kDescriptionWidth = 150;

}  // namespace

ToolSelectWindow::ToolSelectWindow(UiContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), context_(context) {
  setObjectName("frm_tool");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(kToolWindowClipWidth, kToolWindowClipHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(2);
  com_ = new QLabel(this);
  com_->setObjectName("com");
  com_->setAlignment(Qt::AlignCenter);
  QFont caption_font = com_->font();
  caption_font.setBold(true);
  com_->setFont(caption_font);
  layout->addWidget(com_);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(1);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  for (int i = 0; i < 8; ++i) {
    tool1_[i] = new QPushButton(QString::number(i + 1), this);
    tool1_[i]->setObjectName(QStringLiteral("tool1_%1").arg(i));
    tool1_[i]->setFixedSize(30, 22);
    connect(tool1_[i], &QPushButton::clicked, this, [this, i] { choose(i + 1); });
    const QString description = QString::fromLatin1(tool_description(context_.settings, i + 1));
    label1_[i] = new QLabel(QFontMetrics(small).elidedText(description, Qt::ElideRight, kDescriptionWidth), this);
    label1_[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    label1_[i]->setFont(small);
    label1_[i]->setToolTip(description);
    grid->addWidget(tool1_[i], i, 0);
    grid->addWidget(label1_[i], i, 1);
  }
  layout->addLayout(grid);
  layout->addStretch(1);  // without its bottom buttons the window keeps its rows at the top

  auto* bottom = new QHBoxLayout;
  puls_deponi_ = new QPushButton("Deponi", this);
  puls_deponi_->setObjectName("puls_deponi");
  puls_cancel_ = new QPushButton("cancel", this);
  puls_cancel_->setObjectName("puls_cancel");
  connect(puls_deponi_, &QPushButton::clicked, this, [this] { choose(0); });
  connect(puls_cancel_, &QPushButton::clicked, this, [this] {
    tool_window_cancel(context_);
    close();
  });
  bottom->addWidget(puls_deponi_);
  bottom->addWidget(puls_cancel_);
  layout->addLayout(bottom);
}

void ToolSelectWindow::open(const QString& caption, bool show_put_away, bool show_cancel, QWidget* caller, bool over) {
  tool_window_loaded(context_);
  loaded_ = true;
  com_->setText(caption);
  com_->setToolTip(caption);
  puls_deponi_->setVisible(show_put_away);
  puls_cancel_->setVisible(show_cancel);

  // Beside the caller, kept inside the screen that shows it.
  const QScreen* screen = caller ? caller->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  QPoint at = area.topLeft();
  if (caller && over) {
    at = caller->mapToGlobal(QPoint(kGap * 4, kGap * 4));
  } else if (caller) {
    const QRect beside = caller->frameGeometry();
    at = QPoint(beside.right() + kGap, beside.top());
    if (at.x() + width() > area.right()) at.setX(beside.left() - kGap - width());
  }
  at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
  at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
  move(at);
  show();
  raise();
}

void ToolSelectWindow::choose(int tool) {
  tool_window_choose(context_, tool);
  close();
}

void ToolSelectWindow::closeEvent(QCloseEvent* event) {
  if (loaded_) {
    loaded_ = false;
    tool_window_unloaded(context_);
  }
  QWidget::closeEvent(event);
}

void ToolSelectWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    request_stop(context_);
    return;
  }
  QWidget::keyPressEvent(event);
}

void ToolSelectWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  round_corners();
}

// Without a frame, the window draws its own rounded edge.
void ToolSelectWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(palette().color(QPalette::Dark), 2));
  painter.setBrush(palette().color(QPalette::AlternateBase));
  painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kCornerRadius, kCornerRadius);
}

// The window is clipped to a rounded rectangle, where the platform supports shaped windows.
void ToolSelectWindow::round_corners() {
  QPainterPath outline;
  outline.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
  setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

}  // namespace vireo
