#include "manual/gui/display_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/context.h"
#include "link/job_window.h"
#include "lumen/aff.h"
#include "lumen/factory.h"
#include "manual/position_display.h"

namespace vireo {
namespace {

// The emergency key's two lamp colours: pressed, and lit between the blinks and after Reset.
const QColor kLampDark(128, 0, 0);
const QColor kLampLit(255, 0, 0);
constexpr int kBlinkMs = 500;

struct Readout {
  const char* letter;
  const char* tooltip;
  int digits;
};
constexpr Readout kReadouts[8] = {
    {"X", "X axis (centesimi)", 6},          {"Y", "Y axis (centesimi)", 6},
    {"Z", "Z axis (centesimi)", 6},          {"F", "Feed(mm/sec)", 2},
    {"S", "Speed Spindle", 2},               {"A", "A axis (centesimi di grado)", 5},
    {"B", "B axis (centesimi di grado)", 5}, {"C", "C axis (centesimi di grado)", 5},
};

QLabel* caption_label(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  label->setFont(font);
  return label;
}

QPushButton* small_button(const char* text, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  QFont font = button->font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  font.setBold(true);
  button->setFont(font);
  button->setMinimumWidth(10);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

DisplayWindow::DisplayWindow(Context& context, QWidget* parent) : QWidget(parent), context_(context) {
  setObjectName(QStringLiteral("frm_display"));
  setAutoFillBackground(true);
  QPalette dark = palette();
  dark.setColor(QPalette::Window, QColor(32, 32, 32));
  dark.setColor(QPalette::WindowText, QColor(210, 210, 210));
  setPalette(dark);

  // One readout: its letter (the icon, with the tooltip) and its digits.
  const auto readout = [&](int index, QGridLayout* grid, int row, int column) {
    const Readout& r = kReadouts[index];
    auto* icon = new QLabel(QString::fromLatin1(r.letter), this);
    QFont bold = icon->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 0.85);
    icon->setFont(bold);
    icon->setFixedWidth(QFontMetrics(bold).horizontalAdvance(QLatin1Char('W')));
    icon->setToolTip(QString::fromLatin1(r.tooltip));
    auto* control = qobject_cast<lumen::aff*>(lumen::create_control(QString::fromLatin1(lumen::kAffId), this));
    control->setObjectName(QStringLiteral("digit%1").arg(index + 1));
    control->ReadProperties({{QStringLiteral("Nb_Digit"), r.digits}});
    control->setToolTip(QString::fromLatin1(r.tooltip));
    control->setCursor(index < 5 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    control->installEventFilter(this);
    digits_[static_cast<std::size_t>(index)] = control;
    grid->addWidget(icon, row, column);
    grid->addWidget(control, row, column + 1, Qt::AlignLeft);
  };

  auto* linear = new QVBoxLayout;
  linear->setSpacing(3);
  auto* header = new QHBoxLayout;
  header->addWidget(caption_label("Millimetri", this));
  header->addStretch();
  size_toggle_ = new QToolButton(this);
  size_toggle_->setObjectName(QStringLiteral("Image9"));
  size_toggle_->setAutoRaise(true);
  size_toggle_->setIconSize(QSize(12, 12));
  size_toggle_->setFocusPolicy(Qt::NoFocus);
  header->addWidget(size_toggle_);
  linear->addLayout(header);
  auto* axes = new QGridLayout;
  axes->setHorizontalSpacing(2);
  axes->setVerticalSpacing(3);
  for (int i = 0; i < 3; ++i) readout(i, axes, i, 0);
  linear->addLayout(axes);
  auto* codes = new QGridLayout;
  codes->setHorizontalSpacing(2);
  codes->setColumnMinimumWidth(1, 2 * 16 + 6);  // a gap after the feed digits
  readout(3, codes, 0, 0);
  readout(4, codes, 0, 2);
  codes->setColumnStretch(4, 1);
  linear->addLayout(codes);
  linear->addStretch();
  auto* buttons = new QGridLayout;
  buttons->setSpacing(2);
  paste_ = small_button("Paste", this);
  paste_->setObjectName(QStringLiteral("Incolla_display"));
  sync_ = small_button("SYNC", this);
  sync_->setObjectName(QStringLiteral("lettura"));
  sync_->setToolTip(QString::fromLatin1(context.language_offset == 0 ? "sincronizza il display con i display del controller"
                                                                      : "syncro display with controller's display"));
  emergency_ = small_button("EXIT", this);
  emergency_->setObjectName(QStringLiteral("key_emergenza"));
  emergency_->setToolTip(QStringLiteral("Emergency Exit"));
  reset_ = small_button("Reset", this);
  reset_->setObjectName(QStringLiteral("Reset_Exit"));
  buttons->addWidget(paste_, 0, 0);
  buttons->addWidget(sync_, 0, 1);
  buttons->addWidget(emergency_, 1, 0);
  buttons->addWidget(reset_, 1, 1);
  linear->addLayout(buttons);

  angular_ = new QWidget(this);
  auto* rotary = new QVBoxLayout(angular_);
  rotary->setContentsMargins(0, 0, 0, 0);
  rotary->setSpacing(3);
  rotary->addWidget(caption_label("GRADI", angular_));
  auto* rotary_axes = new QGridLayout;
  rotary_axes->setHorizontalSpacing(2);
  rotary_axes->setVerticalSpacing(3);
  for (int i = 5; i < 8; ++i) readout(i, rotary_axes, i - 5, 0);
  rotary->addLayout(rotary_axes);
  rotary->addStretch();

  auto* columns = new QHBoxLayout(this);
  // The compact window is 1800 twips wide: the six digits of an axis and its letter just fit.
  columns->setContentsMargins(2, 2, 2, 3);
  columns->setSpacing(8);
  columns->addLayout(linear);
  columns->addWidget(angular_);
  columns->addStretch();

  connect(paste_, &QPushButton::clicked, this, [this] { paste_position(context_); });
  connect(sync_, &QPushButton::clicked, this, [this] { request_position(context_); });
  connect(emergency_, &QPushButton::clicked, this, &DisplayWindow::press_emergency);
  connect(reset_, &QPushButton::clicked, this, &DisplayWindow::reset_emergency);
  connect(size_toggle_, &QToolButton::clicked, this, &DisplayWindow::toggle_size);
  lamp_.setInterval(kBlinkMs);
  connect(&lamp_, &QTimer::timeout, this, &DisplayWindow::blink);
  set_lamp(kLampLit);

  // Opening: the compact layout, the flag, the values, the digit counts, the colours.
  context_.display.expanded = false;
  show_expanded();
  for (std::size_t i = 0; i < digits_.size(); ++i) digits_[i]->set_Nb_Digit(kReadouts[i].digits);
  open_display(context_);
  refresh();
}

void DisplayWindow::refresh() {
  const std::array<double, 8> values = display_values(context_.display);
  for (std::size_t i = 0; i < digits_.size(); ++i) {
    digits_[i]->set_couleur(context_.display.colour);
    digits_[i]->Afficher(values[i]);
  }
}

DisplayWindow::~DisplayWindow() { context_.display.expanded = false; }

void DisplayWindow::show_digit(int number, double value) {
  if (number >= 1 && number <= 8) digit(number)->Afficher(value);
}

void DisplayWindow::set_digit_colour(int number, int colour) {
  if (number >= 1 && number <= 8) digit(number)->set_couleur(colour);
}

bool DisplayWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    for (std::size_t i = 0; i < digits_.size(); ++i) {
      if (watched != digits_[i]) continue;
      if (std::optional<std::string> text = digit_clipboard_text(context_, static_cast<int>(i) + 1))
        QApplication::clipboard()->setText(QString::fromLatin1(text->c_str()));
    }
  }
  return QWidget::eventFilter(watched, event);
}

void DisplayWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    request_stop(context_);
    return;
  }
  QWidget::keyPressEvent(event);
}

void DisplayWindow::set_lamp(const QColor& colour) {
  lamp_colour_ = colour;
  emergency_->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: white; border: 1px solid #300;"
                                           " padding: 2px; }")
                                .arg(colour.name()));
}

void DisplayWindow::press_emergency() {
  context_.channel.emergency = true;
  set_lamp(kLampDark);
  lamp_.start();
}

void DisplayWindow::reset_emergency() {
  context_.channel.emergency = false;
  set_lamp(kLampLit);
  lamp_.stop();
}

void DisplayWindow::blink() {
  if (lamp_colour_ == kLampDark) {
    set_lamp(kLampLit);
  } else if (lamp_colour_ == kLampLit) {
    set_lamp(kLampDark);
  }
}

void DisplayWindow::show_expanded() {
  const bool expanded = context_.display.expanded;
  angular_->setVisible(expanded);
  size_toggle_->setIcon(style()->standardIcon(expanded ? QStyle::SP_ArrowRight : QStyle::SP_ArrowLeft));
}

void DisplayWindow::toggle_size() {
  context_.display.expanded = !context_.display.expanded;
  show_expanded();
  if (on_size_changed) on_size_changed();
}

}  // namespace vireo
