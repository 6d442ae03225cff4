#include "manual/gui/find_centre_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/context.h"

namespace vireo {
namespace {

// Texts of this window in the two languages: Italian, English.
struct Text {
  const char* italian;
  const char* english;
};
constexpr Text kInstruction{
    "Assicurarsi che il sensore di superficie XY sia montato sul mandrino e che sia connesso all'ingresso BUSY",
    "Make sure that the XY surface sensor is mounted on the spindle and connected to the BUSY input"};
constexpr Text kTravelX{"Escursione massima X", "Maximum travel X"};
constexpr Text kTravelY{"Escursione max Y", "Maximum travel Y"};
constexpr Text kSlack{"offset(slack) del SensoreXY (cent/mm)", "offset(slack) of the XY sensor (cent/mm)"};
constexpr Text kZStep{"Zup di rialzata del  Sensore TrovaCentro (cent/mm) (SOLO PER LE ISOLE)",
                      "Z lift of the CenterFinder sensor (cent/mm) (ISLANDS ONLY)"};
constexpr Text kSlackLabel{"slack XY", "XY slack"};
constexpr Text kZStepLabel{"Z isola", "island Z"};
constexpr Text kMinimum{"minimo", "minimum"}, kMaximum{"massimo", "maximum"}, kCentre{"centro", "centre"};
constexpr Text kXMin{"X minimo trovato", "X minimum found"}, kXMax{"X massimo trovato", "X maximum found"};
constexpr Text kYMin{"Y minimo trovato", "Y minimum found"}, kYMax{"Y massimo trovato", "Y maximum found"};
constexpr Text kCentreX{"CENTRO X", "CENTRE X"}, kCentreY{"CENTRO Y", "CENTRE Y"};
// The start buttons' tips, [kind][axes].
constexpr Text kStartTips[2][3] = {
    {{"Start TrovaCentro CAVA sull'asse X", "Start CenterFinder CAVE on X axis"},
     {"Start TrovaCentro CAVA sull'asse Y", "Start CenterFinder CAVE on Y axis"},
     {"Start TrovaCentro CAVA sull'asse XY (2 cicli)", "Start CenterFinder CAVE on XY axis (2 cycle)"}},
    {{"Start TrovaCentro ISOLA sull'asse X", "Start CenterFinder ISLE on X axis"},
     {"Start TrovaCentro ISOLA sull'asse Y", "Start CenterFinder ISLE on Y axis"},
     {"Start TrovaCentro ISOLA sull'asse XY (2cicli)", "Start CenterFinder ISLE on XY axis (2 cycle)"}}};
constexpr const char* kStartCaptions[3] = {"START X", "START Y", "START XY"};
constexpr int kFindCentreCaption = 1068;

QString latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string to_latin1(const QString& text) { return text.toLatin1().toStdString(); }

QLineEdit* field(QWidget* parent, const char* name, const QString& tip) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setToolTip(tip);
  edit->setMaximumWidth(90);
  return edit;
}

QLabel* contact(QWidget* parent, const char* name, const QString& tip) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setToolTip(tip);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(60);
  return label;
}

}  // namespace

FindCentreWindow::FindCentreWindow(Context& context, QWidget* parent)
    : QWidget(parent), context_(context), fields_(opening_fields(context)) {
  setObjectName("TrovaCentro");
  setWindowTitle(QString::number(kFindCentreCaption));
  const bool english = context_.language_offset != 0;
  const auto tr = [english](const Text& t) { return QString::fromLatin1(english ? t.english : t.italian); };

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  auto* instruction = new QLabel(tr(kInstruction), this);
  instruction->setObjectName("Label_istruzioni");
  instruction->setWordWrap(true);
  column->addWidget(instruction);

  // The two kinds: their travels and their three start buttons.
  auto* kinds = new QHBoxLayout;
  const char* frame_names[2] = {"Cave", "Isle"};
  QLineEdit** travels[2][2] = {{&cave_x_, &cave_y_}, {&isle_x_, &isle_y_}};
  const char* travel_names[2][2] = {{"Escursio_cava_X", "Escursio_cava_Y"}, {"Escursio_isola_X", "Escursio_isola_Y"}};
  for (int k = 0; k < 2; ++k) {
    auto* frame = new QGroupBox(QString::fromLatin1(frame_names[k]), this);
    frame->setObjectName(frame_names[k]);
    auto* grid = new QGridLayout(frame);
    *travels[k][0] = field(frame, travel_names[k][0], tr(kTravelX));
    *travels[k][1] = field(frame, travel_names[k][1], tr(kTravelY));
    grid->addWidget(new QLabel(QStringLiteral("X"), frame), 0, 0);
    grid->addWidget(*travels[k][0], 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Y"), frame), 1, 0);
    grid->addWidget(*travels[k][1], 1, 1);
    for (int a = 0; a < 3; ++a) {
      auto* button = new QPushButton(QString::fromLatin1(kStartCaptions[a]), frame);
      button->setObjectName(QStringLiteral("start_%1_%2").arg(k == 0 ? "cave" : "isle").arg(a == 0 ? "x" : a == 1 ? "y" : "xy"));
      button->setToolTip(tr(kStartTips[k][a]));
      grid->addWidget(button, a, 2);
      buttons_[k][a] = button;
      const ProbeKind kind = k == 0 ? ProbeKind::cave : ProbeKind::isle;
      const ProbeAxes axes = a == 0 ? ProbeAxes::x : a == 1 ? ProbeAxes::y : ProbeAxes::xy;
      connect(button, &QPushButton::clicked, this, [this, kind, axes] { start(kind, axes); });
    }
    grid->setColumnStretch(2, 1);
    kinds->addWidget(frame);
  }
  column->addLayout(kinds);

  // Slack and Z step beside the results.
  auto* lower = new QHBoxLayout;
  auto* setup = new QGroupBox(QStringLiteral("Setup"), this);
  setup->setObjectName("Setup");
  auto* form = new QFormLayout(setup);
  off_xy_ = field(setup, "Off_xy", tr(kSlack));
  off_z_ = field(setup, "Off_z", tr(kZStep));
  form->addRow(tr(kSlackLabel), off_xy_);
  form->addRow(tr(kZStepLabel), off_z_);
  lower->addWidget(setup);

  auto* result = new QGroupBox(QStringLiteral("Result"), this);
  result->setObjectName("Result");
  auto* grid = new QGridLayout(result);
  grid->addWidget(new QLabel(tr(kMinimum), result), 0, 1);
  grid->addWidget(new QLabel(tr(kMaximum), result), 0, 2);
  grid->addWidget(new QLabel(tr(kCentre), result), 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("X"), result), 1, 0);
  grid->addWidget(new QLabel(QStringLiteral("Y"), result), 2, 0);
  x_min_ = contact(result, "XCminimo", tr(kXMin));
  x_max_ = contact(result, "XCmassimo", tr(kXMax));
  y_min_ = contact(result, "YCminimo", tr(kYMin));
  y_max_ = contact(result, "YCmassimo", tr(kYMax));
  x_centre_ = field(result, "XCentro", tr(kCentreX));
  y_centre_ = field(result, "YCentro", tr(kCentreY));
  grid->addWidget(x_min_, 1, 1);
  grid->addWidget(x_max_, 1, 2);
  grid->addWidget(x_centre_, 1, 3);
  grid->addWidget(y_min_, 2, 1);
  grid->addWidget(y_max_, 2, 2);
  grid->addWidget(y_centre_, 2, 3);
  lower->addWidget(result, 1);
  column->addLayout(lower);

  progress_ = new QProgressBar(this);
  progress_->setObjectName("PB_trovacentro");
  progress_->setTextVisible(false);
  column->addWidget(progress_);
  column->addStretch(1);
  show_fields();
}

QPushButton* FindCentreWindow::start_button(ProbeKind kind, ProbeAxes axes) const {
  return buttons_[kind == ProbeKind::cave ? 0 : 1][axes == ProbeAxes::x ? 0 : axes == ProbeAxes::y ? 1 : 2];
}

void FindCentreWindow::start(ProbeKind kind, ProbeAxes axes) {
  take_fields();
  // One run at a time: the start buttons wait until this one has ended.
  for (auto& row : buttons_)
    for (QPushButton* b : row) b->setEnabled(false);
  FindCentre finder(context_, fields_);
  finder.changed = [this] { show_fields(); };
  running_ = true;
  finder.run(kind, axes);
  running_ = false;
  show_fields();
  for (auto& row : buttons_)
    for (QPushButton* b : row) b->setEnabled(true);
}

void FindCentreWindow::take_fields() {
  fields_.travel_cave_x = to_latin1(cave_x_->text());
  fields_.travel_cave_y = to_latin1(cave_y_->text());
  fields_.travel_isle_x = to_latin1(isle_x_->text());
  fields_.travel_isle_y = to_latin1(isle_y_->text());
  fields_.slack = to_latin1(off_xy_->text());
  fields_.z_step = to_latin1(off_z_->text());
  fields_.x_centre = to_latin1(x_centre_->text());
  fields_.y_centre = to_latin1(y_centre_->text());
}

void FindCentreWindow::show_fields() {
  const auto set = [](QLineEdit* edit, const std::string& text) {
    if (edit->text() != latin1(text)) edit->setText(latin1(text));
  };
  set(cave_x_, fields_.travel_cave_x);
  set(cave_y_, fields_.travel_cave_y);
  set(isle_x_, fields_.travel_isle_x);
  set(isle_y_, fields_.travel_isle_y);
  set(off_xy_, fields_.slack);
  set(off_z_, fields_.z_step);
  set(x_centre_, fields_.x_centre);
  set(y_centre_, fields_.y_centre);
  x_min_->setText(latin1(fields_.x_min));
  x_max_->setText(latin1(fields_.x_max));
  y_min_->setText(latin1(fields_.y_min));
  y_max_->setText(latin1(fields_.y_max));
  progress_->setRange(0, std::max(1, fields_.progress_max));
  progress_->setValue(fields_.progress);
  progress_->setVisible(fields_.progress_visible);
}

// The contacts are set again once the window is localised: a contact label holding "0" is no string
// id.
void FindCentreWindow::showEvent(QShowEvent* event) {
  show_fields();
  QWidget::showEvent(event);
}

// The window holds the run's fields: while a run works it stays open, and the close asks the run to
// stop after its current contact instead.
void FindCentreWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    context_.conversion.abort = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void FindCentreWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    context_.conversion.abort = true;
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace vireo
