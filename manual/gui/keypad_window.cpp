#include "manual/gui/keypad_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
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
  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setTimerType(Qt::PreciseTimer);
  connect(timer1_, &QTimer::timeout, this, [this] { jog_tick(context_, state_); });

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setSpacing(4);

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
    home_row->addWidget(command_button(home_names[i], axes[i], home_commands[i], nullptr));
    home_row->itemAt(i)->widget()->setToolTip(id_text(kHomeHints[i]));
    origin_row->addWidget(command_button(origin_names[i], axes[i], origin_commands[i], nullptr));
    origin_row->itemAt(i)->widget()->setToolTip(id_text(kOriginHints[i]));
  }
  grid->addWidget(home, 0, 0);
  grid->addWidget(origin, 0, 1);

  // Jogging: a cross for X and Y around their speed button, a column for Z.
  auto* xy = frame(this, id_text(kXYFrame), "frame_xy");
  auto* cross = new QGridLayout(xy);
  cross->addWidget(jog_button("k_yp", "Y+", "yu"), 0, 1);
  cross->addWidget(jog_button("k_xm", "X--", "xd"), 1, 0);
  k_fast1_ = speed_button("k_fast1", SpeedGroup::xy, nullptr);
  k_fast1_->setToolTip(id_text(kFastXYHint));
  cross->addWidget(k_fast1_, 1, 1);
  cross->addWidget(jog_button("k_xp", "X+", "xu"), 1, 2);
  cross->addWidget(jog_button("k_ym", "Y--", "yd"), 2, 1);
  auto* z = frame(this, id_text(kZFrame), "frame_z");
  auto* column = new QGridLayout(z);
  column->addWidget(jog_button("k_zp", "Z+", "zu"), 0, 0);
  k_fast2_ = speed_button("k_fast2", SpeedGroup::z, nullptr);
  k_fast2_->setToolTip(id_text(kFastZHint));
  column->addWidget(k_fast2_, 1, 0);
  column->addWidget(jog_button("k_zm", "Z--", "zd"), 2, 0);
  grid->addWidget(xy, 1, 0);
  grid->addWidget(z, 1, 1);

  // Feed and spindle speed steps.
  auto* feed = frame(this, id_text(kFeedFrame), "frame_feed");
  auto* feed_row = new QHBoxLayout(feed);
  feed_row->addWidget(command_button("k_feedm", "--", "fd", nullptr));
  feed_row->addWidget(command_button("k_feedp", "+", "fu", nullptr));
  auto* speed = frame(this, QStringLiteral("Speed"), "frame_speed");
  auto* speed_row = new QHBoxLayout(speed);
  speed_row->addWidget(command_button("k_speedm", "--", "sd", nullptr));
  speed_row->addWidget(command_button("k_speedp", "+", "su", nullptr));
  grid->addWidget(feed, 2, 0);
  grid->addWidget(speed, 2, 1);

  // The controller's EEROM buffer.
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
  auto* start_buf = new QPushButton(QStringLiteral("Start"), eerom);
  start_buf->setObjectName("StartBuf");
  start_buf->setToolTip(id_text(kStartBufHint));
  connect(start_buf, &QPushButton::clicked, this, [this] { start_buffer(context_); });
  eerom_row->addWidget(load_buf_);
  eerom_row->addWidget(start_buf);
  grid->addWidget(eerom, 3, 0);

  // Take tool and calibration.
  auto* tool = frame(this, id_text(kToolFrame), "frame_tool");
  auto* tool_row = new QHBoxLayout(tool);
  auto* take = new QPushButton(id_text(kTakeTool), tool);
  take->setObjectName("k_utensile");
  take->setToolTip(id_text(kTakeToolHint));
  connect(take, &QPushButton::clicked, this, [this, take] {
    // While the tool window asks, the button stays usable: pressed again, it withdraws the question.
    if (!ask_keypad_tool(context_)) return;
    QPointer<QPushButton> guard(take);
    take->setEnabled(false);
    change_keypad_tool(context_);
    if (guard) guard->setEnabled(true);
  });
  auto* tara = new QPushButton(id_text(kCalibration), tool);
  tara->setObjectName("tarabutton");
  tara->setToolTip(id_text(kCalibrationHint));
  connect(tara, &QPushButton::clicked, this, [this, tara] {
    tara->setEnabled(false);
    calibrate(context_);
    tara->setEnabled(true);
  });
  tool_row->addWidget(take);
  tool_row->addWidget(tara);
  grid->addWidget(tool, 3, 1);

  paint_speed(k_fast1_, false);
  paint_speed(k_fast2_, false);
}

QPushButton* KeypadWindow::button(const char* name) const { return findChild<QPushButton*>(QLatin1String(name)); }

QPushButton* KeypadWindow::command_button(const char* name, const char* caption, std::string_view command,
                                          const char* tip) {
  auto* b = new QPushButton(QString::fromLatin1(caption), this);
  b->setObjectName(name);
  if (tip) b->setToolTip(QString::fromLatin1(tip));
  b->setFocusPolicy(Qt::NoFocus);
  const std::string line(command);
  connect(b, &QPushButton::clicked, this, [this, line] { send_keypad_command(context_, line); });
  return b;
}

QPushButton* KeypadWindow::jog_button(const char* name, const char* caption, std::string_view jog) {
  auto* b = new QPushButton(QString::fromLatin1(caption), this);
  b->setObjectName(name);
  b->setFocusPolicy(Qt::NoFocus);
  const std::string command(jog);
  connect(b, &QPushButton::pressed, this, [this, command] { press(command); });
  connect(b, &QPushButton::released, this, [this] { release(); });
  return b;
}

QPushButton* KeypadWindow::speed_button(const char* name, SpeedGroup group, const char* tip) {
  auto* b = new QPushButton(this);
  b->setObjectName(name);
  if (tip) b->setToolTip(QString::fromLatin1(tip));
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QPushButton::clicked, this, [this, b, group] {
    toggle_speed(state_, group);
    paint_speed(b, is_fast(state_, group));
  });
  return b;
}

void KeypadWindow::paint_speed(QPushButton* b, bool fast) {
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
