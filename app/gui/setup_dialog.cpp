#include "app/gui/setup_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/gui/localise.h"
#include "app/gui/text_edit.h"
#include "app/string_ids.h"
#include "app/ui_context.h"
#include "base/number_text.h"
#include "core/palette.h"

namespace vireo {
namespace {

constexpr int kCheckIntervalMs = 500;
const QColor kWrongField(255, 255, 0);   // console colour 14
const QColor kValidField(255, 255, 255);  // console colour 15
const QColor kManualTc(255, 255, 192);    // C0FFFF as blue-green-red
constexpr std::string_view kSetupFilter = "files setup (*.stu)";

std::size_t at(int slot) { return static_cast<std::size_t>(slot); }
QString qt(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
QString id_text(int id) { return QString::number(id); }

QLabel* label(int id) { return new QLabel(id_text(id)); }
QLabel* plain(const QString& text) { return new QLabel(text); }

QGroupBox* group(int title) { return new QGroupBox(id_text(title)); }
QFormLayout* form_in(QGroupBox* box) {
  auto* form = new QFormLayout(box);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  return form;
}

QLineEdit* line_edit_of(QWidget* control) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit;
  if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->lineEdit();
  return nullptr;
}

void set_field_colour(QWidget* field, const QColor& colour) {
  QPalette palette = field->palette();
  if (palette.color(QPalette::Base) == colour) return;
  palette.setColor(QPalette::Base, colour);
  field->setPalette(palette);
}

// Sets a text box's text without moving the caret when only characters were replaced.
void replace_text(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return;
  const int caret = edit->cursorPosition();
  edit->setText(text);
  edit->setCursorPosition(std::min(caret, static_cast<int>(text.size())));
}

QWidget* page_with(QLayout* layout) {
  auto* page = new QWidget;
  page->setLayout(layout);
  return page;
}

}  // namespace

SetupDialog::SetupDialog(UiContext& context, QWidget* parent) : QDialog(parent), context_(context) {
  setObjectName(QStringLiteral("frmsetup"));
  setWindowTitle(id_text(sid::kSetupCaption));
  dialogs.open = [this](const QString& title, const QString& filter, const QString& from) {
    return QFileDialog::getOpenFileName(this, title, from, filter);
  };
  dialogs.save = [this](const QString& title, const QString& filter, const QString& from) {
    QFileDialog dialog(this, title, from, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("stu"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                   : QString();
  };

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("SSTab1"));
  tabs_->addTab(build_machine_page(), id_text(sid::kSetupTabMachine));
  tabs_->addTab(build_z_page(), id_text(sid::kSetupTabZ));
  tabs_->addTab(build_tools_page(), id_text(sid::kSetupTabTools));
  tabs_->addTab(build_changer_page(), id_text(sid::kSetupTabChanger));
  tabs_->addTab(build_sensor_page(), id_text(sid::kSetupTabSensors));
  tabs_->addTab(build_formats_page(), id_text(sid::kSetupTabFormats));
  tabs_->addTab(build_axes_page(), id_text(sid::kSetupTabAxes));
  tabs_->addTab(build_display_page(), id_text(sid::kSetupTabDisplay));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(build_buttons());

  // The tool options, once every box of them exists.
  for (Slot s : {Slot::check_ena_tc, Slot::f_tauto, Slot::ute_pretarati, Slot::Check_ena_tara})
    connect(qobject_cast<QCheckBox*>(control(slot_index(s))), &QCheckBox::clicked, this,
            [this, s] { tool_option_clicked(s); });

  localise_window(this, context_.strings, context_.language_offset);
  // The numbered buttons are numbers, not string ids.
  for (int n = 0; n < 6; ++n)
    findChild<QPushButton*>(QStringLiteral("Command_nu_%1").arg(n))->setText(QString::number(n));

  // Opening: the setup file into the controls, then the pen rule, the pen colours and the calculator.
  if (std::string error = form_.open(context_); !error.empty()) show_error(error);
  fill_controls();
  colour_pen_labels();
  check_timer_ = new QTimer(this);
  connect(check_timer_, &QTimer::timeout, this, &SetupDialog::check_fields);
  check_timer_->start(kCheckIntervalMs);
  check_fields();

  // Centred on the screen, no larger than it.
  adjustSize();
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    resize(std::min(width(), area.width()), std::min(height(), area.height()));
    move(area.center() - rect().center());
  }
}

QWidget* SetupDialog::make(Slot slot, int hint, int element) {
  const int index = slot_index(slot, element);
  const SlotInfo& info = slot_info(index);
  QWidget* control = nullptr;
  if (info.kind == SlotKind::check) {
    control = new QCheckBox(id_text(hint));
  } else if (!info.choices.empty()) {
    auto* combo = new QComboBox;
    // Feed codes and arc resolutions offer their usual values and take any other; lists of names
    // take only theirs.
    combo->setEditable(info.kind != SlotKind::choice);
    combo->setMinimumContentsLength(4);
    for (std::string_view rest = info.choices; !rest.empty();) {
      const std::size_t bar = rest.find('|');
      combo->addItem(qt(rest.substr(0, bar)));
      rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
    }
    control = combo;
  } else {
    auto* edit = new QLineEdit;
    // Numbers and codes are short; the boxes need not stretch over the page.
    if (info.kind != SlotKind::text) edit->setMaximumWidth(110);
    control = edit;
  }
  control->setObjectName(qt(slot_display_name(index)));
  if (hint > 0) control->setToolTip(id_text(hint));
  controls_[at(index)] = control;
  return control;
}

QWidget* SetupDialog::make_option_group(Slot slot, int title, int hint) {
  auto* box = group(title);
  box->setObjectName(qt(slot_info(slot_index(slot)).name));
  box->setToolTip(id_text(hint));
  auto* row = new QHBoxLayout(box);
  auto* buttons = new QButtonGroup(box);
  const char* formats[] = {"2/3", "3/3", "2/4", "3/4"};
  for (int i = 0; i < 4; ++i) {
    auto* option = new QRadioButton(QString::fromLatin1(formats[i]));
    option->setObjectName(QStringLiteral("%1_%2").arg(box->objectName()).arg(i));
    buttons->addButton(option, i);
    row->addWidget(option);
  }
  options_[slot == Slot::opt_drl ? 0 : 1] = buttons;
  controls_[at(slot_index(slot))] = box;
  return box;
}

QWidget* SetupDialog::build_machine_page() {
  auto* link = group(sid::kSetupGroupLink);
  QFormLayout* f = form_in(link);
  f->addRow(label(sid::kSetupDevice), make(Slot::s_periferica, 1309));
  f->addRow(label(sid::kSetupComSpeed), make(Slot::speed_com, 1310));
  f->addRow(label(sid::kSetupDsrDelay), make(Slot::ritardo_dsr, 1311));
  f->addRow(label(sid::kSetupMillAddress), make(Slot::indfresa, 1317));
  f->addRow(label(sid::kSetupPlcAddress), make(Slot::indplc, 1318));
  f->addRow(make(Slot::quote32bit, 1406));

  auto* general = group(sid::kSetupGroupGeneral);
  QFormLayout* g = form_in(general);
  g->addRow(label(sid::kSetupLanguage), make(Slot::s_lingua, 1312));
  g->addRow(label(sid::kSetupDigits), make(Slot::Version, 1313));
  g->addRow(make(Slot::Ena_pbpc, 1315));
  g->addRow(make(Slot::ena_pc_vertice, 1316));

  auto* init = group(sid::kSetupInitString);
  auto* i = new QHBoxLayout(init);
  i->addWidget(make(Slot::initstring, 1314), 1);
  auto* send = new QPushButton(id_text(sid::kSetupSend));
  send->setObjectName(QStringLiteral("invia_stringa"));
  send->setToolTip(id_text(sid::kSetupSendHint));
  send->setAutoDefault(false);
  connect(send, &QPushButton::clicked, this, [this] {
    read_controls();
    send_initial_string(context_, form_.texts[at(slot_index(Slot::initstring))]);
  });
  i->addWidget(send);

  auto* file = group(sid::kSetupGroupFile);
  QFormLayout* s = form_in(file);
  auto* in_use = new QLabel;
  in_use->setObjectName(QStringLiteral("set_in_use"));
  controls_[at(slot_index(Slot::set_in_use))] = in_use;
  s->addRow(plain(QStringLiteral("File setup in uso:")), in_use);
  free_location_ = qobject_cast<QLineEdit*>(make(Slot::locazione_disponibile, sid::kSetupFreeLocationHint));
  free_location_->setReadOnly(true);
  s->addRow(label(sid::kSetupFreeLocation), free_location_);

  auto* free = group(sid::kSetupFreeButtons);
  free->setToolTip(id_text(sid::kSetupFreeButtonsHint));
  auto* b = new QHBoxLayout(free);
  for (int n = 0; n < 6; ++n) {
    auto* button = new QPushButton;
    button->setObjectName(QStringLiteral("Command_nu_%1").arg(n));
    button->setAutoDefault(false);
    b->addWidget(button);
    if (n < 2) controls_[at(slot_index(Slot::free_slot) + n)] = button;
  }

  auto* grid = new QGridLayout;
  grid->addWidget(link, 0, 0);
  grid->addWidget(general, 0, 1);
  grid->addWidget(init, 1, 0, 1, 2);
  grid->addWidget(file, 2, 0);
  grid->addWidget(free, 2, 1);
  grid->setRowStretch(3, 1);
  return page_with(grid);
}

QWidget* SetupDialog::build_z_page() {
  auto* z = group(sid::kSetupGroupZ);
  QFormLayout* f = form_in(z);
  f->addRow(label(1204), make(Slot::z_superf, 1300));
  f->addRow(label(1202), make(Slot::z_iniz_v, 1301));
  f->addRow(label(1203), make(Slot::z_fres_v, 1303));
  f->addRow(label(sid::kSetupRestZ), make(Slot::z_insu, 1302));

  auto* feeds = group(sid::kSetupGroupFeeds);
  QFormLayout* v = form_in(feeds);
  v->addRow(label(1206), make(Slot::vel_av, 1304));
  v->addRow(label(1207), make(Slot::vel_rap, 1305));
  v->addRow(label(1208), make(Slot::vel_rit, 1306));
  v->addRow(label(1209), make(Slot::vel_mand, 1307));
  v->addRow(label(1210), make(Slot::vel_entrata, 1308));

  auto* passes = group(sid::kSetupGroupPasses);
  QFormLayout* p = form_in(passes);
  p->addRow(make(Slot::ena_passate, 1388));
  p->addRow(label(sid::kSetupPassCount), make(Slot::numero_passate, 1389));
  p->addRow(label(sid::kSetupPassIncrement), make(Slot::incr_passate, 1390));
  last_pass_ = new QLineEdit;
  last_pass_->setObjectName(QStringLiteral("Ultima_passata"));
  last_pass_->setToolTip(id_text(1391));
  last_pass_->setMaximumWidth(110);
  p->addRow(label(1249), last_pass_);
  for (Slot s : {Slot::numero_passate, Slot::incr_passate, Slot::z_fres_v})
    connect(line_edit_of(control(slot_index(s))), &QLineEdit::textChanged, this, [this] { run_pass_calculator(); });
  connect(last_pass_, &QLineEdit::editingFinished, this, [this] { take_last_pass(); });

  auto* drilling = group(sid::kSetupGroupDrilling);
  QFormLayout* d = form_in(drilling);
  d->addRow(make(Slot::check_progressivo, 1320));
  d->addRow(label(sid::kSetupDrillStep), make(Slot::incremento_progressivo, 1319));

  auto* surface = group(sid::kSetupGroupSurface);
  QFormLayout* s = form_in(surface);
  s->addRow(make(Slot::check_includi, 1322));
  s->addRow(make(Slot::check_inseg, 1321));

  auto* grid = new QGridLayout;
  grid->addWidget(z, 0, 0);
  grid->addWidget(feeds, 0, 1);
  grid->addWidget(passes, 1, 0);
  grid->addWidget(drilling, 1, 1);
  grid->addWidget(surface, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);
  return page_with(grid);
}

QWidget* SetupDialog::build_tools_page() {
  auto* grid = new QGridLayout;
  grid->addWidget(label(1248), 0, 0, 1, 2);
  grid->addWidget(label(1206), 0, 2);
  grid->addWidget(label(1209), 0, 3);
  grid->addWidget(label(1247), 0, 4);
  for (int i = 0; i < 8; ++i) {
    auto* pen = plain(QStringLiteral("SP%1").arg(i + 1));
    pen->setObjectName(QStringLiteral("penlb_%1").arg(i));
    pen->setAlignment(Qt::AlignCenter);
    pen->setAutoFillBackground(true);
    pen->setMinimumWidth(36);
    pen_labels_[static_cast<std::size_t>(i)] = pen;
    grid->addWidget(pen, i + 1, 0);
    grid->addWidget(make(Slot::pen, 1371, i), i + 1, 1);
    grid->addWidget(make(Slot::feed, 1372, i), i + 1, 2);
    grid->addWidget(make(Slot::speed, 1373, i), i + 1, 3);
    QWidget* description = make(Slot::descrizione1, 1374, i);
    description->installEventFilter(this);
    grid->addWidget(description, i + 1, 4);
  }
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(9, 1);
  auto* options = new QHBoxLayout;
  options->addWidget(make(Slot::ute_pretarati, 1330));
  options->addStretch(1);
  auto* page = new QVBoxLayout;
  page->addLayout(grid);
  page->addLayout(options);
  return page_with(page);
}

QWidget* SetupDialog::build_changer_page() {
  auto* changer = group(sid::kSetupGroupChanger);
  auto* grid = new QGridLayout(changer);
  grid->addWidget(label(sid::kSetupSlot), 0, 0);
  grid->addWidget(plain(QStringLiteral("X")), 0, 1);
  grid->addWidget(plain(QStringLiteral("Y")), 0, 2);
  grid->addWidget(label(sid::kSetupZUp), 0, 3);
  grid->addWidget(label(sid::kSetupZDown), 0, 4);
  for (int i = 0; i < 8; ++i) {
    grid->addWidget(plain(QStringLiteral("T%1").arg(i + 1)), i + 1, 0);
    grid->addWidget(make(Slot::xatc, 1323, i), i + 1, 1);
    grid->addWidget(make(Slot::yatc, 1324, i), i + 1, 2);
    grid->addWidget(make(Slot::zatc_up, 1325, i), i + 1, 3);
    grid->addWidget(make(Slot::zatc_dw, 1326, i), i + 1, 4);
  }
  grid->setRowStretch(9, 1);

  auto* options = group(sid::kSetupTabChanger);
  QFormLayout* o = form_in(options);
  o->addRow(make(Slot::check_ena_tc, 1327));
  auto* automatic = qobject_cast<QCheckBox*>(make(Slot::f_tauto, 1419));
  automatic->setText(QStringLiteral("Manual TC"));
  automatic->setAutoFillBackground(true);
  automatic->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  o->addRow(automatic);
  o->addRow(label(sid::kSetupSpindleRunUp), make(Slot::Time_RUN, 1339));
  o->addRow(label(sid::kSetupDoorDelay), make(Slot::Time_sportelli, 1340));
  connect(automatic, &QCheckBox::toggled, this, [this] { update_auto_tc_caption(); });

  auto* manual = group(1245);
  QFormLayout* m = form_in(manual);
  m->addRow(plain(QStringLiteral("X")), make(Slot::x_tmanual, 1336));
  m->addRow(plain(QStringLiteral("Y")), make(Slot::y_tmanual, 1337));
  m->addRow(plain(QStringLiteral("Z")), make(Slot::z_tmanual, 1338));

  auto* right = new QVBoxLayout;
  right->addWidget(options);
  right->addWidget(manual);
  right->addStretch(1);
  auto* page = new QHBoxLayout;
  page->addWidget(changer, 1);
  page->addLayout(right, 1);
  return page_with(page);
}

QWidget* SetupDialog::build_sensor_page() {
  auto* sensor = group(1246);
  QFormLayout* f = form_in(sensor);
  f->addRow(make(Slot::Check_ena_sensor, 1328));
  f->addRow(make(Slot::Check_ena_tara, 1329));
  f->addRow(plain(QStringLiteral("X")), make(Slot::xsensor, 1331));
  f->addRow(plain(QStringLiteral("Y")), make(Slot::ysensor, 1332));
  f->addRow(label(sid::kSetupSensorZMax), make(Slot::zsensor_max, 1333));
  f->addRow(label(sid::kSetupSensorLift), make(Slot::zsensor_offset, 1334));
  f->addRow(label(sid::kSetupSensorFeed), make(Slot::fsensor, 1335));

  auto* centre = group(1446);
  QFormLayout* c = form_in(centre);
  c->addRow(label(sid::kSetupCentreSlack), make(Slot::mem_offset_trovacentro, 1418));
  c->addRow(label(sid::kSetupCentreLift), make(Slot::memz_trovacent, 1420));

  auto* page = new QGridLayout;
  page->addWidget(sensor, 0, 0);
  page->addWidget(centre, 0, 1, Qt::AlignTop);
  page->setRowStretch(1, 1);
  return page_with(page);
}

QWidget* SetupDialog::build_formats_page() {
  auto* formats = new QTabWidget;
  formats->setObjectName(QStringLiteral("SSTab_formati"));
  const std::pair<OriginFormat, int> pages[] = {
      {OriginFormat::gerber, 1243}, {OriginFormat::excellon, 1242}, {OriginFormat::hpgl, 1244},
      {OriginFormat::dxf, 1241},    {OriginFormat::gcode, 1229},    {OriginFormat::rml, 1240}};
  for (const auto& [format, title] : pages) formats->addTab(build_format_page(format), id_text(title));
  auto* layout = new QVBoxLayout;
  layout->addWidget(formats);
  return page_with(layout);
}

QWidget* SetupDialog::build_format_page(OriginFormat format) {
  auto* options = group(sid::kSetupGroupFormat);
  QFormLayout* f = form_in(options);
  auto* extra = new QVBoxLayout;
  switch (format) {
    case OriginFormat::rml:
      f->addRow(label(sid::kSetupMaxFeed), make(Slot::maxv_modela, 1341));
      f->addRow(label(1204), make(Slot::z_roland, 1342));
      f->addRow(label(1234), make(Slot::scala_modela, 1343));
      f->addRow(label(1235), make(Slot::unita_modela, 1344));
      f->addRow(make(Slot::zeroneg_rol, 1347));
      break;
    case OriginFormat::dxf:
      f->addRow(label(1238), make(Slot::gradi_dxf, 1348));
      f->addRow(label(1234), make(Slot::scala_dxf, 1349));
      f->addRow(label(1235), make(Slot::unita_dxf, 1350));
      break;
    case OriginFormat::excellon:
      f->addRow(label(1226), make(Slot::atc_excellon, 1353));
      f->addRow(label(1234), make(Slot::scala_excellon, 1354));
      f->addRow(label(1235), make(Slot::unita_excellon, 1355));
      extra->addWidget(make_option_group(Slot::opt_drl, 1239, 1358));
      break;
    case OriginFormat::gerber:
      f->addRow(label(1234), make(Slot::scala_gerber, 1359));
      f->addRow(label(1235), make(Slot::unita_gerber, 1360));
      extra->addWidget(make_option_group(Slot::opt_gbr, 1239, 1363));
      break;
    case OriginFormat::hpgl: {
      f->addRow(label(sid::kSetupPenCommand), make(Slot::atc_hpgl, 1364));
      f->addRow(label(1234), make(Slot::scala_hpgl, 1365));
      f->addRow(label(1235), make(Slot::unita_hpgl, 1366));
      f->addRow(label(1202), make(Slot::ziniz_hp, 1369));
      f->addRow(label(1204), make(Slot::zsuperf_hp, 1370));
      auto* pen_select = qobject_cast<QComboBox*>(control(slot_index(Slot::atc_hpgl)));
      connect(pen_select, &QComboBox::currentTextChanged, this, [this] { apply_pen_rule(); });
      break;
    }
    case OriginFormat::gcode:
      f->addRow(label(sid::kSetupMaxFeed), make(Slot::maxv_gc, 1375));
      f->addRow(label(1204), make(Slot::z_gc, 1376));
      f->addRow(label(1234), make(Slot::scala_gc, 1377));
      f->addRow(label(1235), make(Slot::unita_gc, 1378));
      f->addRow(label(1238), make(Slot::gradi_gc, 1379));
      f->addRow(label(sid::kSetupRpmFactor), make(Slot::molt_gc, 1383));
      break;
  }
  if (format == OriginFormat::gcode) {
    auto* modes = group(sid::kSetupGroupGcodeModes);
    QFormLayout* m = form_in(modes);
    m->addRow(make(Slot::ena3d_gc, 1380));
    m->addRow(make(Slot::ch_virgola, 1384));
    m->addRow(make(Slot::ij_mode, 1385));
    m->addRow(make(Slot::zeroneg_gcode, 1386));
    m->addRow(make(Slot::zinvert_gc, 1387));
    extra->addWidget(modes);
  }

  const int hint_x[] = {1345, 1351, 1356, 1361, 1367, 1381};
  const int hint_y[] = {1346, 1352, 1357, 1362, 1368, 1382};
  const auto n = static_cast<std::size_t>(format);
  auto* origin = group(sid::kSetupGroupOrigin);
  auto* o = new QGridLayout(origin);
  o->addWidget(label(1236), 0, 0);
  o->addWidget(make(origin_x_slot(format), hint_x[n]), 0, 1);
  o->addWidget(label(1237), 1, 0);
  o->addWidget(make(origin_y_slot(format), hint_y[n]), 1, 1);
  struct ButtonRow {
    OriginButton button;
    const char* caption;
    const char* name;
    int hint;
  };
  const ButtonRow buttons[] = {
      {OriginButton::xy_zero, "X-Y zero", "zero_off", sid::kSetupXyZeroHint},
      {OriginButton::z_zero, "Z zero", "zeta_off", sid::kSetupZZeroHint},
      {OriginButton::reset, "Reset", "Res_off", sid::kSetupResetHint},
      {OriginButton::preview_paste, "SPaste", "ClipPaste", sid::kSetupPreviewPasteHint},
      {OriginButton::display_paste, "DPaste", "DisplayPaste", sid::kSetupDisplayPasteHint},
  };
  auto* row = new QHBoxLayout;
  for (const ButtonRow& b : buttons) {
    if (!has_origin_button(format, b.button)) continue;
    auto* button = new QPushButton(QString::fromLatin1(b.caption));
    button->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(b.name)).arg(static_cast<int>(format)));
    button->setToolTip(id_text(b.hint));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, format, which = b.button] { origin_clicked(format, which); });
    row->addWidget(button);
  }
  row->addStretch(1);
  o->addLayout(row, 2, 0, 1, 2);
  extra->addWidget(origin);
  extra->addStretch(1);

  auto* page = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(options);
  left->addStretch(1);
  page->addLayout(left, 1);
  page->addLayout(extra, 1);
  return page_with(page);
}

QWidget* SetupDialog::build_axes_page() {
  auto* rotary = group(1440);
  auto* r = new QGridLayout(rotary);
  const std::tuple<const char*, Slot, int, Slot, int> axes[] = {
      {"A", Slot::Step_giro_A, 1411, Slot::Feed_A, 1412},
      {"B", Slot::Step_giro_B, 1413, Slot::Feed_B, 1414},
      {"C", Slot::Step_giro_C, 1408, Slot::Feed_C, 1409},
  };
  int row = 0;
  for (const auto& [name, steps, steps_hint, feed, feed_hint] : axes) {
    r->addWidget(plain(QString::fromLatin1(name)), row, 0);
    QLabel* steps_label = label(1441);
    QLabel* feed_label = label(1442);
    steps_label->setObjectName(QStringLiteral("passi_%1").arg(QString::fromLatin1(name)));
    feed_label->setObjectName(QStringLiteral("velocita_%1").arg(QString::fromLatin1(name)));
    steps_label->installEventFilter(this);
    feed_label->installEventFilter(this);
    rotary_labels_[static_cast<std::size_t>(row * 2)] = feed_label;
    rotary_labels_[static_cast<std::size_t>(row * 2 + 1)] = steps_label;
    r->addWidget(steps_label, row, 1);
    r->addWidget(make(steps, steps_hint), row, 2);
    r->addWidget(feed_label, row, 3);
    r->addWidget(make(feed, feed_hint), row, 4);
    ++row;
  }
  r->addWidget(make(Slot::Ena_tang_C, 1407), row, 0, 1, 3);
  r->addWidget(label(1443), row, 3);
  r->addWidget(make(Slot::Gradi_lama_C, 1410), row, 4);
  r->setColumnStretch(5, 1);

  const auto factors = [this](int title, Slot first, Slot first_rotary, int hint, Slot enable, int enable_hint) {
    auto* box = group(title);
    auto* g = new QGridLayout(box);
    const char* names[] = {"X", "Y", "Z", "A", "B", "C"};
    for (int i = 0; i < 6; ++i) {
      const Slot slot = static_cast<Slot>(i < 3 ? slot_index(first) + i : slot_index(first_rotary) + i - 3);
      g->addWidget(plain(QString::fromLatin1(names[i])), i % 3, (i / 3) * 2);
      g->addWidget(make(slot, hint + i), i % 3, (i / 3) * 2 + 1);
    }
    g->addWidget(make(enable, enable_hint), 3, 0, 1, 4);
    return box;
  };
  QGroupBox* corrections =
      factors(1445, Slot::correzione_x, Slot::correzione_a, 1392, Slot::ena_correzione_coord, 1398);
  QGroupBox* display =
      factors(1444, Slot::display_corr_x, Slot::display_corr_a, 1399, Slot::ena_correzione_display, 1405);

  auto* grid = new QGridLayout;
  grid->addWidget(rotary, 0, 0, 1, 2);
  grid->addWidget(corrections, 1, 0);
  grid->addWidget(display, 1, 1);
  grid->setRowStretch(2, 1);
  return page_with(grid);
}

QWidget* SetupDialog::build_display_page() {
  auto* display = group(sid::kSetupTabDisplay);
  QFormLayout* f = form_in(display);
  f->addRow(make(Slot::check_enable_display, 1415));
  f->addRow(label(1447), make(Slot::colore_display, 1416));
  f->addRow(make(Slot::Grafica3D, 1417));
  connect(qobject_cast<QComboBox*>(control(slot_index(Slot::colore_display))), &QComboBox::activated, this,
          [this] { display_colour_chosen(); });
  auto* page = new QVBoxLayout;
  page->addWidget(display);
  page->addStretch(1);
  return page_with(page);
}

QWidget* SetupDialog::build_buttons() {
  auto* bar = new QWidget;
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  errors_ = new QLabel;
  errors_->setObjectName(QStringLiteral("errori"));
  errors_->setToolTip(id_text(sid::kSetupErrorsHint));
  errors_->setAutoFillBackground(true);
  errors_->setMinimumWidth(130);
  row->addWidget(errors_);
  row->addStretch(1);
  const auto button = [&](const char* name, int caption, int hint, auto action) {
    auto* b = new QPushButton(id_text(caption));
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(id_text(hint));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, action);
    row->addWidget(b);
    return b;
  };
  button("carica_setup", sid::kSetupLoad, sid::kSetupLoadHint, [this] { load_setup(); });
  button("salva_con_nome", sid::kSetupSaveAs, sid::kSetupSaveAsHint, [this] { save_as(); });
  button("OKButton", sid::kSetupOk, sid::kSetupOkHint, [this] {
    if (save()) accept();
  })->setDefault(true);
  button("ApplyButton", sid::kSetupApply, sid::kSetupApplyHint, [this] { save(); });
  button("CancelButton", sid::kSetupCancel, sid::kSetupCancelHint, [this] { reject(); });
  return bar;
}

void SetupDialog::write_control(int slot) {
  QWidget* c = control(slot);
  if (!c) return;
  const QString text = qt(form_.texts[at(slot)]);
  if (auto* check = qobject_cast<QCheckBox*>(c)) {
    check->setChecked(leading_number(form_.texts[at(slot)]) != 0);
  } else if (auto* combo = qobject_cast<QComboBox*>(c)) {
    if (combo->isEditable()) {
      combo->setEditText(text);
    } else {
      // A value the list does not hold is kept as it is, so that saving does not change it.
      if (combo->findText(text) < 0) combo->addItem(text);
      combo->setCurrentIndex(combo->findText(text));
    }
  } else if (auto* edit = qobject_cast<QLineEdit*>(c)) {
    replace_text(edit, text);
  } else if (auto* button = qobject_cast<QPushButton*>(c)) {
    button->setText(text);
  } else if (auto* shown = qobject_cast<QLabel*>(c)) {
    shown->setText(text);
  } else if (slot == slot_index(Slot::opt_drl) || slot == slot_index(Slot::opt_gbr)) {
    QButtonGroup* buttons = options_[slot == slot_index(Slot::opt_drl) ? 0 : 1];
    if (QAbstractButton* option = buttons->button(static_cast<int>(leading_number(form_.texts[at(slot)]))))
      option->setChecked(true);
  }
}

void SetupDialog::fill_controls() {
  for (int slot = 0; slot < kSlotCount; ++slot) write_control(slot);
  for (int i = 0; i < 8; ++i) {
    const std::string& hint = form_.description_hints[static_cast<std::size_t>(i)];
    if (!hint.empty()) control(slot_index(Slot::descrizione1, i))->setToolTip(qt(hint));
  }
  free_location_->setText(qt(form_.description_hints[3]));
  apply_pen_rule();
  update_auto_tc_caption();
  run_pass_calculator();
}

void SetupDialog::read_controls() { read_controls(form_.texts); }

SetupTexts SetupDialog::texts_now() const {
  SetupTexts texts = form_.texts;
  read_controls(texts);
  return texts;
}

void SetupDialog::read_controls(SetupTexts& into) const {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    QWidget* c = control(slot);
    if (!c) continue;
    std::string& text = into[at(slot)];
    if (auto* check = qobject_cast<QCheckBox*>(c)) {
      text.assign(1, check->isChecked() ? '1' : '0');
    } else if (auto* combo = qobject_cast<QComboBox*>(c)) {
      text = latin1_text(combo->currentText());
    } else if (auto* edit = qobject_cast<QLineEdit*>(c)) {
      if (edit != free_location_) text = latin1_text(edit->text());
    } else if (auto* button = qobject_cast<QPushButton*>(c)) {
      text = latin1_text(button->text());
    } else if (auto* shown = qobject_cast<QLabel*>(c)) {
      text = latin1_text(shown->text());
    } else if (slot == slot_index(Slot::opt_drl) || slot == slot_index(Slot::opt_gbr)) {
      const int index = options_[slot == slot_index(Slot::opt_drl) ? 0 : 1]->checkedId();
      text = std::to_string(index < 0 ? 0 : index);
    }
  }
}

void SetupDialog::check_fields() {
  read_controls();
  const SetupTexts before = form_.texts;
  int digits = context_.derived.digits;
  const FieldCheck check = check_setup_fields(form_.texts, digits);
  if (digits != context_.derived.digits) {
    context_.derived.digits = digits;
    context_.derived.mask.assign(static_cast<std::size_t>(digits), '0');
    context_.derived.placeholder.assign(static_cast<std::size_t>(digits) + 1, '\xF7');
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    QLineEdit* edit = line_edit_of(control(slot));
    if (!edit) continue;
    if (form_.texts[at(slot)] != before[at(slot)]) replace_text(edit, qt(form_.texts[at(slot)]));
    if (edit != free_location_) set_field_colour(edit, check.wrong[at(slot)] ? kWrongField : kValidField);
  }
  errors_->setText(qt(error_count_text(check.errors)));
  QPalette palette = errors_->palette();
  palette.setColor(QPalette::Window, check.errors > 0 ? kWrongField : tabs_->palette().color(QPalette::Window));
  errors_->setPalette(palette);
}

void SetupDialog::apply_pen_rule() {
  auto* pen_select = qobject_cast<QComboBox*>(control(slot_index(Slot::atc_hpgl)));
  const bool enabled = pen_fields_enabled(latin1_text(pen_select->currentText()));
  for (int i = 0; i < 8; ++i) {
    for (Slot s : {Slot::pen, Slot::feed, Slot::descrizione1}) control(slot_index(s, i))->setEnabled(enabled);
    pen_labels_[static_cast<std::size_t>(i)]->setEnabled(enabled);
  }
  control(slot_index(Slot::ziniz_hp))->setEnabled(enabled);
  control(slot_index(Slot::zsuperf_hp))->setEnabled(enabled);
}

void SetupDialog::colour_pen_labels() {
  for (std::size_t i = 0; i < pen_labels_.size(); ++i) {
    const Rgb rgb = kConsolePalette[static_cast<std::size_t>(kPenColours[i])];
    QPalette palette = pen_labels_[i]->palette();
    palette.setColor(QPalette::Window, QColor(rgb.r, rgb.g, rgb.b));
    // Dark pens get light letters.
    const bool dark = 299 * rgb.r + 587 * rgb.g + 114 * rgb.b < 128000;
    palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    pen_labels_[i]->setPalette(palette);
  }
}

void SetupDialog::update_auto_tc_caption() {
  auto* automatic = qobject_cast<QCheckBox*>(control(slot_index(Slot::f_tauto)));
  automatic->setText(qt(tool_change_caption(automatic->isChecked())));
  QPalette palette = automatic->palette();
  palette.setColor(QPalette::Window, automatic->isChecked() ? tabs_->palette().color(QPalette::Window) : kManualTc);
  automatic->setPalette(palette);
}

void SetupDialog::run_pass_calculator() {
  if (!last_pass_) return;
  last_pass_->setText(qt(last_pass_text(texts_now())));
  last_pass_->setModified(false);
}

void SetupDialog::take_last_pass() {
  if (!last_pass_->isModified()) return;
  last_pass_->setModified(false);
  read_controls();
  const std::size_t increment = at(slot_index(Slot::incr_passate));
  form_.texts[increment] = pass_increment_for(form_.texts, latin1_text(last_pass_->text()), context_.derived.digits);
  write_control(slot_index(Slot::incr_passate));
  run_pass_calculator();
}

void SetupDialog::tool_option_clicked(Slot slot) {
  read_controls();
  on_tool_option_clicked(form_.texts, slot);
  for (Slot s : {Slot::ute_pretarati, Slot::Check_ena_tara, Slot::Check_ena_sensor, Slot::check_ena_tc, Slot::f_tauto})
    write_control(slot_index(s));
  update_auto_tc_caption();
}

void SetupDialog::origin_clicked(OriginFormat format, OriginButton button) {
  read_controls();
  apply_origin_button(form_.texts, format, button, context_);
  for (Slot s : {origin_x_slot(format), origin_y_slot(format), Slot::z_roland, Slot::z_gc}) write_control(slot_index(s));
}

void SetupDialog::display_colour_chosen() {
  auto* colour = qobject_cast<QComboBox*>(control(slot_index(Slot::colore_display)));
  context_.settings.set_text(Slot::colore_display, latin1_text(colour->currentText()));
  context_.host->display_colour_changed();
}

void SetupDialog::ask_description_hint(int index) {
  const std::optional<std::string> answer =
      context_.host->input_box(kDescriptionHintPrompt, kDescriptionHintTitle, "");
  if (!answer || answer->empty()) return;
  form_.description_hints[static_cast<std::size_t>(index)] = *answer;
  control(slot_index(Slot::descrizione1, index))->setToolTip(qt(*answer));
  if (index == 3) free_location_->setText(qt(*answer));
}

bool SetupDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_C && (key->modifiers() & Qt::ControlModifier)) {
      for (int i = 0; i < 8; ++i) {
        if (watched != control(slot_index(Slot::descrizione1, i))) continue;
        ask_description_hint(i);
        return true;
      }
    }
  } else if (event->type() == QEvent::Enter || event->type() == QEvent::ToolTip) {
    for (std::size_t i = 0; i < rotary_labels_.size(); ++i) {
      if (watched != rotary_labels_[i]) continue;
      const SetupTexts texts = texts_now();
      const auto axis = static_cast<RotaryAxis>(i / 2);
      const std::string hint = i % 2 == 0 ? motor_feed_hint(texts, axis) : tangential_feed_hint(texts, axis);
      rotary_labels_[i]->setToolTip(qt(hint));
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SetupDialog::show_error(const std::string& text) {
  QMessageBox::warning(this, QStringLiteral("vireo"), view_text(text));
}

bool SetupDialog::save() {
  read_controls();
  if (std::string error = form_.save(context_); !error.empty()) {
    show_error(error);
    return false;
  }
  saved_ = true;
  return true;
}

void SetupDialog::load_setup() {
  const QString chosen = dialogs.open(QStringLiteral("apri"), qt(kSetupFilter),
                                      QString::fromStdString(context_.program_directory.string()));
  if (chosen.isEmpty()) return;
  if (std::string error = form_.load_setup(context_, std::filesystem::path(chosen.toStdString())); !error.empty())
    show_error(error);
  fill_controls();
  check_fields();
  saved_ = true;
}

void SetupDialog::save_as() {
  const QString chosen = dialogs.save(QStringLiteral("Salva con nome"), qt(kSetupFilter),
                                      QString::fromStdString(context_.program_directory.string()));
  if (chosen.isEmpty()) return;
  read_controls();
  if (std::string error = form_.save_as(context_, std::filesystem::path(chosen.toStdString())); !error.empty()) {
    show_error(error);
    return;
  }
  write_control(slot_index(Slot::set_in_use));
  saved_ = true;
}

bool run_setup_dialog(UiContext& context, QWidget* parent) {
  SetupDialog dialog(context, parent);
  dialog.exec();
  return dialog.saved();
}

}  // namespace vireo
