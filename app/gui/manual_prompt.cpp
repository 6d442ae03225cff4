#include "app/gui/manual_prompt.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui_context.h"
#include "app/gui/document_windows.h"
#include "link/job_window.h"
#include "link/operator_prompts.h"

namespace vireo {

ManualPrompt::ManualPrompt(UiContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), context_(context) {
  setObjectName("manual");
  auto* layout = new QVBoxLayout(this);
  label1_ = new QLabel(this);
  label1_->setObjectName("Label1");
  label1_->setAlignment(Qt::AlignCenter);
  label1_->setWordWrap(true);
  QFont big = label1_->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.2);
  label1_->setFont(big);
  layout->addWidget(label1_, 1);

  const auto button = [this](const char* name, const char* caption, const char* tip) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(name);
    if (tip) b->setToolTip(QString::fromLatin1(tip));
    return b;
  };
  puls_change_ = button("puls_change", "CHANGE TOOL", "cambia utensile con taratura");
  puls_dev_ = button("puls_dev", "DEV TOOL", "deviazione dell'utensile senza tararlo");
  puls_ok_ = button("puls_ok", "OK", nullptr);
  puls_skip_ = button("puls_skip", "SKIP TOOL", "salta questo utensile");
  auto* buttons = new QGridLayout;
  buttons->addWidget(puls_change_, 0, 0);
  buttons->addWidget(puls_dev_, 0, 1);
  buttons->addWidget(puls_ok_, 1, 0);
  buttons->addWidget(puls_skip_, 1, 1);
  layout->addLayout(buttons);

  connect(puls_ok_, &QPushButton::clicked, this, [this] {
    manual_prompt_ok(context_);
    close();
  });
  connect(puls_skip_, &QPushButton::clicked, this, [this] {
    manual_prompt_skip(context_);
    close();
  });
  connect(puls_change_, &QPushButton::clicked, this, [this] { change_tool(false); });
  connect(puls_dev_, &QPushButton::clicked, this, [this] { change_tool(true); });
}

void ManualPrompt::open(const QString& text, QWidget* origin) {
  label1_->setText(text);
  setWindowTitle(text);
  const Placement& place = kManualPromptPlacement;
  const QPoint corner = origin ? origin->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
  setGeometry(corner.x() + twips_to_pixels(this, place.left), corner.y() + twips_to_pixels(this, place.top),
              twips_to_pixels(this, place.width), twips_to_pixels(this, place.height));
  show();
  raise();
  activateWindow();
}

// CHANGE TOOL and DEV TOOL ask for the tool in the tool window and wait for it; the buttons stay
// disabled meanwhile so that a second click cannot open a second wait.
void ManualPrompt::change_tool(bool skip_calibration) {
  setEnabled(false);
  const bool answered = manual_prompt_change(context_, skip_calibration);
  setEnabled(true);
  if (answered) close();
}

void ManualPrompt::closeEvent(QCloseEvent* event) {
  manual_prompt_closed(context_);
  QWidget::closeEvent(event);
}

void ManualPrompt::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    request_stop(context_);
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace vireo
