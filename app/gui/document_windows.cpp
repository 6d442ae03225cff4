#include "app/gui/document_windows.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <cmath>

#include "app/ui_context.h"
#include "app/gui/icons.h"
#include "app/gui/localise.h"
#include "app/string_ids.h"
#include "app/shell.h"
#include "link/job_window.h"

namespace vireo {

int twips_to_pixels(const QWidget* widget, int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * widget->logicalDpiX() / 1440.0));
}

int pixels_to_twips(const QWidget* widget, int pixels) {
  return static_cast<int>(std::lround(static_cast<double>(pixels) * 1440.0 / widget->logicalDpiX()));
}

namespace {
QString id_text(int id) { return QString::number(id); }
}  // namespace

DocumentWindow::DocumentWindow(UiContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      edit_(new TextEdit(this)),
      view_(edit_),
      progress_(new QLabel(this)),
      progress_detail_(new QLabel(this)),
      pause_(new QPushButton(QStringLiteral("pause"), this)),
      next_(new QPushButton(QStringLiteral("Next"), this)),
      cancel_(new QPushButton(id_text(sid::kSetupCancel), this)),  // "Annulla", "Cancel"
      tool_list_(new QListWidget(this)),
      tool_ok_(new QPushButton(QStringLiteral("OK"), this)),
      image_(new QLabel(this)),
      timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("frmDocument"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromLatin1(kNewDocumentCaption));
  edit_->setObjectName(QStringLiteral("rtftext"));
  progress_->setObjectName(QStringLiteral("Label_progress"));
  // Fixed widths, so the buttons do not move as the figures grow.
  progress_->setFixedWidth(progress_->fontMetrics().horizontalAdvance(QStringLiteral(" 100 % ")));
  progress_detail_->setObjectName(QStringLiteral("Label_progress_detail"));
  pause_->setObjectName(QStringLiteral("pausa_button"));
  pause_->setToolTip(id_text(sid::kJobPauseHint));
  next_->setObjectName(QStringLiteral("but_next"));
  next_->setToolTip(id_text(sid::kJobNextHint));
  cancel_->setObjectName(QStringLiteral("doc_exit"));
  cancel_->setToolTip(id_text(sid::kJobCancelHint));
  tool_list_->setObjectName(QStringLiteral("toollist"));
  tool_list_->setToolTip(id_text(sid::kJobToolListHint));
  // One tool per confirmation: the chosen entry is the list's text.
  tool_list_->setSelectionMode(QAbstractItemView::SingleSelection);
  tool_list_->setMaximumWidth(120);
  tool_list_->setEnabled(false);
  tool_ok_->setObjectName(QStringLiteral("tool_ok"));
  tool_ok_->setToolTip(id_text(sid::kJobToolOkHint));
  tool_ok_->setEnabled(false);
  // The job buttons keep their whole caption in a narrow window.
  for (QPushButton* button : {pause_, next_, cancel_})
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Annulla")) + 10);
  image_->setObjectName(QStringLiteral("Image1"));
  image_->setPixmap(program_icon().pixmap(20, 20));

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setSpacing(3);
  grid->addWidget(edit_, 0, 0, 1, 6);
  grid->addWidget(tool_list_, 0, 6, 1, 1);
  grid->addWidget(image_, 1, 0);
  grid->addWidget(progress_, 1, 1);
  grid->addWidget(pause_, 1, 2);
  grid->addWidget(next_, 1, 3);
  grid->addWidget(cancel_, 1, 4);
  // The run's figures on a row of their own under the buttons, so a narrow window keeps the buttons.
  grid->addWidget(progress_detail_, 2, 0, 1, 7);
  grid->addWidget(tool_ok_, 1, 6);
  grid->setColumnStretch(5, 1);
  grid->setRowStretch(0, 1);
  // The layout step may give the window no width at all; the controls then simply do not show.
  grid->setSizeConstraint(QLayout::SetNoConstraint);
  setMinimumSize(0, 0);

  connect(cancel_, &QPushButton::clicked, this, &DocumentWindow::cancel_requested);
  connect(edit_, &TextEdit::escape_pressed, this, &DocumentWindow::cancel_requested);
  connect(tool_ok_, &QPushButton::clicked, this, &DocumentWindow::tool_ok_clicked);
  // The operator steers a run from here: the buttons set the flags the run polls.
  connect(pause_, &QPushButton::clicked, this, [this] { toggle_pause(context_); });
  connect(next_, &QPushButton::clicked, this, [this] { next_tool(context_); });
  connect(tool_list_, &QListWidget::itemClicked, this, [this] { tool_list_clicked(context_); });
  // Clicking into the view moves the read cursor there.
  view_.on_caret_moved = [this](long start) { caret_moved(context_, static_cast<std::size_t>(start)); };
  connect(timer_, &QTimer::timeout, this, &DocumentWindow::refresh_progress);
  timer_->start(kProgressIntervalMs);
  // The icon's tip is the window's caption, the document's full path.
  image_->setToolTip(windowTitle());
  connect(this, &QWidget::windowTitleChanged, image_, [this](const QString& title) { image_->setToolTip(title); });

  localise_window(this, context_.strings, context_.language_offset);
  job_window_loaded(context_);
}

QWidget* DocumentWindow::control(JobControl which) const {
  switch (which) {
    case JobControl::cancel_button: return cancel_;
    case JobControl::tool_ok: return tool_ok_;
    case JobControl::tool_list: return tool_list_;
    case JobControl::text_view: return edit_;
  }
  return nullptr;
}

void DocumentWindow::set_pause_alert(bool alert) {
  if (alert) {
    const Rgb c = colour::kAlert;
    pause_->setStyleSheet(QStringLiteral("background-color: rgb(%1, %2, %3);").arg(c.r).arg(c.g).arg(c.b));
  } else {
    pause_->setStyleSheet(QString());
  }
}

void DocumentWindow::refresh_progress() {
  if (const std::optional<std::string> text = progress_text(context_.conversion))
    progress_->setText(QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size())));
}

// Closing the job window stops its run.
void DocumentWindow::closeEvent(QCloseEvent* event) {
  job_window_unloaded(context_);
  QWidget::closeEvent(event);
}

void DocumentWindow::keyPressEvent(QKeyEvent* event) {
  // Esc anywhere in the job window stops the run, as its Annulla button does.
  if (event->key() == Qt::Key_Escape) {
    emit cancel_requested();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

TextWindow::TextWindow(const QString& object_name, const QString& view_name, QWidget* parent)
    : QWidget(parent), edit_(new TextEdit(this)), view_(edit_) {
  setObjectName(object_name);
  setAttribute(Qt::WA_DeleteOnClose);
  edit_->setObjectName(view_name);
  connect(edit_, &TextEdit::escape_pressed, this, &TextWindow::escape_pressed);
}

void TextWindow::closeEvent(QCloseEvent* event) {
  emit closed();
  QWidget::closeEvent(event);
}

void TextWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int margin = twips_to_pixels(this, 100);
  edit_->setGeometry(margin, margin, std::max(0, width() - 2 * margin), std::max(0, height() - 2 * margin));
}

}  // namespace vireo
