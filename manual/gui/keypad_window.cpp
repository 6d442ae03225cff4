#include "manual/gui/keypad_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QTimer>

#include "base/command_language.h"
#include "core/context.h"
#include "link/job_window.h"

namespace vireo {
namespace {

// String ids of the keypad's texts (Italian numbering).
constexpr int kCaption = 1058;
constexpr int kHomeHints[] = {1100, 1101, 1102};
constexpr int kOriginHints[] = {1103, 1104, 1105};
constexpr int kHomeFrame = 1106, kOriginFrame = 1107, kXYFrame = 1108, kZFrame = 1109, kFeedFrame = 1110,
              kToolFrame = 1111, kLoadBufHint = 1112, kStartBufHint = 1113, kTakeToolHint = 1114,
              kCalibration = 1115, kCalibrationHint = 1116, kTakeTool = 1117, kFastXYHint = 1121,
              kFastZHint = 1122;

QString id_text(int id) { return QString::number(id); }

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QGroupBox* frame(QWidget* parent, const QString& title, const char* name) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  return box;
}

// Tight margins inside the frames: the keypad is small.
void tighten(QGroupBox* box) {
  if (QLayout* layout = box->layout()) {
    layout->setContentsMargins(3, 1, 3, 3);
    layout->setSpacing(2);
  }
}

QString background(Rgb c) { return QStringLiteral("background-color: rgb(%1, %2, %3);").arg(c.r).arg(c.g).arg(c.b); }

// The keys that jog while held, and the axis buttons they stand for. The machine's Z grows
// downwards: Page Up lifts the tool (Z--), Page Down lowers it (Z+).
std::string_view jog_of_key(int key) {
  switch (key) {
    case Qt::Key_Left: return "xd";
    case Qt::Key_Right: return "xu";
    case Qt::Key_Down: return "yd";
    case Qt::Key_Up: return "yu";
    case Qt::Key_PageUp: return "zd";
    case Qt::Key_PageDown: return "zu";
    default: return {};
  }
}

}  // namespace

KeypadWindow::KeypadWindow(Context& context, QWidget* parent) : QWidget(parent), context_(context) {
  setObjectName("frm_tastierino");
  setWindowTitle(id_text(kCaption));
  setFocusPolicy(Qt::StrongFocus);
  // A slightly smaller face than the program's: the keypad is a small window full of buttons.
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  setFont(small);
  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setTimerType(Qt::PreciseTimer);
  connect(timer1_, &QTimer::timeout, this, [this] { jog_tick(context_, state_); });

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(3, 3, 3, 3);
  grid->setSpacing(2);

  // Homing and origin, one button per axis.
  auto* home = frame(this, id_text(kHomeFrame), "frame_switch");
  auto* home_row = new QHBoxLayout(home);
  auto* origin = frame(this, id_text(kOriginFrame), "frame_origin");
  auto* origin_row = new QHBoxLayout(origin);
  const char* home_names[] = {"k_clearx", "k_cleary", "k_clearz"};
  const char* origin_names[] = {"k_resetx", "k_resety", "k_resetz"};
  const std::string_view home_commands[] = {cmd::kHomeX, cmd::kHomeY, cmd::kHomeZ};
  const std::string_view origin_commands[] = {cmd::kOriginX, cmd::kOriginY, cmd::kOriginZ};
  const char* axes[] = {"X", "Y", "Z"};
  for (int i = 0; i < 3; ++i) {
    home_row->addWidget(command_button(home_names[i], axes[i], home_commands[i], kHomeHints[i]));
    origin_row->addWidget(command_button(origin_names[i], axes[i], origin_commands[i], kOriginHints[i]));
  }
  auto* top = new QHBoxLayout;
  top->setSpacing(2);
  top->addWidget(home);
  top->addWidget(origin);
  grid->addLayout(top, 0, 0, 1, 3);

  // Jogging: a cross for X and Y around their speed button, a column for Z; feed and spindle steps.
  auto* xy = frame(this, id_text(kXYFrame), "frame_xy");
  auto* cross = new QGridLayout(xy);
  cross->addWidget(jog_button("k_yp", "Y+", "yu"), 0, 1);
  cross->addWidget(jog_button("k_xm", "X--", "xd"), 1, 0);
  k_fast1_ = speed_button("k_fast1", SpeedGroup::xy, kFastXYHint);
  cross->addWidget(k_fast1_, 1, 1);
  cross->addWidget(jog_button("k_xp", "X+", "xu"), 1, 2);
  cross->addWidget(jog_button("k_ym", "Y--", "yd"), 2, 1);
  auto* z = frame(this, id_text(kZFrame), "frame_z");
  auto* column = new QVBoxLayout(z);
  column->addWidget(jog_button("k_zp", "Z+", "zu"));
  k_fast2_ = speed_button("k_fast2", SpeedGroup::z, kFastZHint);
  column->addWidget(k_fast2_);
  column->addWidget(jog_button("k_zm", "Z--", "zd"));
  auto* feed = frame(this, id_text(kFeedFrame), "frame_feed");
  auto* feed_row = new QHBoxLayout(feed);
  feed_row->addWidget(command_button("k_feedm", "--", "fd", 0));
  feed_row->addWidget(command_button("k_feedp", "+", "fu", 0));
  auto* speed = frame(this, QStringLiteral("Speed"), "frame_speed");
  auto* speed_row = new QHBoxLayout(speed);
  speed_row->addWidget(command_button("k_speedm", "--", "sd", 0));
  speed_row->addWidget(command_button("k_speedp", "+", "su", 0));
  auto* steps = new QVBoxLayout;
  steps->setSpacing(2);
  steps->addWidget(feed);
  steps->addWidget(speed);
  grid->addWidget(xy, 1, 0);
  grid->addWidget(z, 1, 1);
  grid->addLayout(steps, 1, 2);

  // The controller's EEROM buffer, take tool and calibration.
  auto* eerom = frame(this, QStringLiteral("EERom Buffer"), "frame_eerom");
  auto* eerom_row = new QHBoxLayout(eerom);
  load_buf_ = new QCheckBox(QStringLiteral("Load"), eerom);
  load_buf_->setObjectName("LoadBuf");
  load_buf_->setToolTip(id_text(kLoadBufHint));
  load_buf_->setAutoFillBackground(true);
  connect(load_buf_, &QCheckBox::clicked, this, [this](bool checked) {
    load_buf_->setText(latin1(load_buffer_clicked(context_, checked)));
    load_buf_->setStyleSheet(checked ? background(kLoadingColour) : QString());
    // The box gives the keyboard focus back to the keypad.
    load_buf_->setEnabled(false);
    load_buf_->setEnabled(true);
    setFocus();
  });
  auto* start_buf = plain_button(eerom, "StartBuf", QStringLiteral("Start"), kStartBufHint);
  connect(start_buf, &QAbstractButton::clicked, this, [this] { start_buffer(context_); });
  eerom_row->addWidget(load_buf_);
  eerom_row->addWidget(start_buf);
  grid->addWidget(eerom, 2, 0);

  auto* tool = frame(this, id_text(kToolFrame), "frame_tool");
  auto* tool_row = new QHBoxLayout(tool);
  auto* take = plain_button(tool, "k_utensile", id_text(kTakeTool), kTakeToolHint);
  Context& ctx = context_;
  connect(take, &QAbstractButton::clicked, this, [&ctx, take] {
    // While the tool window asks, the button stays usable: pressed again, it withdraws the question.
    // The waits serve events, so the keypad may be closed before they end.
    const QPointer<QAbstractButton> guard(take);
    if (!ask_keypad_tool(ctx)) return;
    if (guard) guard->setEnabled(false);
    change_keypad_tool(ctx);
    if (guard) guard->setEnabled(true);
  });
  tool_row->addWidget(take);
  grid->addWidget(tool, 2, 1);
  auto* tara = plain_button(this, "tarabutton", id_text(kCalibration), kCalibrationHint);
  connect(tara, &QAbstractButton::clicked, this, [&ctx, tara] {
    const QPointer<QAbstractButton> guard(tara);
    tara->setEnabled(false);
    calibrate(ctx);
    if (guard) guard->setEnabled(true);
  });
  grid->addWidget(tara, 2, 2);
  grid->setColumnStretch(0, 4);
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(2, 2);
  for (QGroupBox* box : findChildren<QGroupBox*>()) tighten(box);

  paint_speed(k_fast1_, false);
  paint_speed(k_fast2_, false);
}

QAbstractButton* KeypadWindow::button(const char* name) const {
  return findChild<QAbstractButton*>(QLatin1String(name));
}

// The keypad's buttons are tool buttons: as small as their captions, so that the whole keypad fits
// the little window it opens in. None takes the focus, which stays with the keypad for its keys.
QToolButton* KeypadWindow::plain_button(QWidget* parent, const char* name, const QString& caption, int tip) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(caption);
  if (tip) b->setToolTip(id_text(tip));
  b->setFocusPolicy(Qt::NoFocus);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  return b;
}

QToolButton* KeypadWindow::command_button(const char* name, const char* caption, std::string_view command, int tip) {
  QToolButton* b = plain_button(this, name, QString::fromLatin1(caption), tip);
  const std::string line(command);
  connect(b, &QAbstractButton::clicked, this, [this, line] { send_keypad_command(context_, line); });
  return b;
}

QToolButton* KeypadWindow::jog_button(const char* name, const char* caption, std::string_view jog) {
  QToolButton* b = plain_button(this, name, QString::fromLatin1(caption), 0);
  const std::string command(jog);
  connect(b, &QAbstractButton::pressed, this, [this, command] { press(command); });
  connect(b, &QAbstractButton::released, this, [this] { release(); });
  return b;
}

QToolButton* KeypadWindow::speed_button(const char* name, SpeedGroup group, int tip) {
  QToolButton* b = plain_button(this, name, QString(), tip);
  connect(b, &QAbstractButton::clicked, this, [this, b, group] {
    toggle_speed(state_, group);
    paint_speed(b, is_fast(state_, group));
  });
  return b;
}

void KeypadWindow::paint_speed(QToolButton* b, bool fast) {
  b->setText(latin1(speed_caption(fast)));
  b->setStyleSheet(background(fast ? kFastColour : kSlowColour));
}

void KeypadWindow::press(std::string_view jog) {
  const int interval = jog_press(context_, state_, jog);
  // A precise timer gives the platform's shortest interval for the 1 ms of fast mode.
  timer1_->start(interval);
}

void KeypadWindow::release() {
  timer1_->stop();
  jog_release(state_);
}

void KeypadWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    request_stop(context_);
    return;
  }
  const std::string_view jog = jog_of_key(event->key());
  if (jog.empty()) {
    QWidget::keyPressEvent(event);
    return;
  }
  // The key's own repetition is left out: the repeat timer repeats as for a held button.
  if (!event->isAutoRepeat() && held_key_ == 0) {
    held_key_ = event->key();
    press(jog);
  }
  event->accept();
}

void KeypadWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == held_key_ && !event->isAutoRepeat()) {
    held_key_ = 0;
    release();
    event->accept();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

}  // namespace vireo
