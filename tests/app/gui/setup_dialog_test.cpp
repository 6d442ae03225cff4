// The setup dialog `frmsetup` on the offscreen platform: its controls, the field check, saving and
// cancelling, the tool options, the pass calculator, the pen rule, localisation, and the start-up
// that passes through it when the serial port cannot be opened.
//
// With VIREO_SETUP_SHOTS=DIR set, `screenshots` writes every tab in both languages at 1600x1000 and
// 1024x700 into DIR, for looking at them.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "app/gui/program.h"
#include "app/gui/qt_host.h"
#include "app/gui/setup_dialog.h"
#include "app/session.h"
#include "settings/setup_file.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A context over a temporary data directory, as the program sets it up.
struct Setup {
  QTemporaryDir dir;
  test::FakeHost host;
  UiContext context{host};
  explicit Setup(int language_offset = 0) {
    context.strings = builtin_string_table();
    context.language_offset = language_offset;
    context.program_directory = std::filesystem::path(dir.path().toStdString());
    context.setup_path = context.program_directory / "vireo.stu";
  }
  std::string file() const { return read_file(context.setup_path); }
};

template <typename T>
T* find(const SetupDialog& dialog, Slot slot, int element = 0) {
  return qobject_cast<T*>(dialog.control(slot_index(slot, element)));
}

void type_into(QLineEdit* edit, const QString& text) {
  edit->clear();
  QTest::keyClicks(edit, text);
}

// Runs `press` on each modal widget as it comes up, in order.
void answer_modals(std::vector<std::function<void(QWidget*)>> presses) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  auto queue = std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(presses));
  // The one answered last; a dialog shown later may reuse its address once it is gone.
  auto last = std::make_shared<QPointer<QWidget>>();
  QObject::connect(timer, &QTimer::timeout, [timer, queue, last] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last->data()) return;
    *last = modal;
    auto press = queue->front();
    queue->erase(queue->begin());
    if (queue->empty()) {
      timer->stop();
      timer->deleteLater();
    }
    press(modal);
  });
  timer->start();
}

}  // namespace

class SetupDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void every_slot_has_its_named_control() {
    Setup s;
    SetupDialog dialog(s.context);
    // Opening wrote the missing setup file with the defaults.
    QCOMPARE(s.file(), setup_file_text(SettingsRecord{}));
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (slot >= slot_index(Slot::immediate_command) && slot < slot_index(Slot::locazione_disponibile)) {
        QVERIFY(!dialog.control(slot));
        continue;
      }
      QWidget* control = dialog.control(slot);
      QVERIFY2(control, slot_display_name(slot).c_str());
      if (!slot_info(slot).name.empty())
        QCOMPARE(control->objectName(), QString::fromLatin1(slot_display_name(slot).c_str()));
    }
    QCOMPARE(find<QLineEdit>(dialog, Slot::z_superf)->text(), QStringLiteral("1000"));
    QVERIFY(find<QCheckBox>(dialog, Slot::Ena_pbpc)->isChecked());
    QCOMPARE(find<QComboBox>(dialog, Slot::s_periferica)->currentText(), QStringLiteral("dummy"));
    QCOMPARE(find<QLabel>(dialog, Slot::set_in_use)->text(), QStringLiteral("vireo.stu"));
    QCOMPARE(find<QPushButton>(dialog, Slot::free_slot, 1)->text(), QStringLiteral("1"));
    QCOMPARE(dialog.last_pass()->text(), QStringLiteral(" 600"));
    QCOMPARE(dialog.error_label()->text(), QStringLiteral("total errors= 0"));
    QCOMPARE(find<QCheckBox>(dialog, Slot::f_tauto)->text(), QStringLiteral("Manual TC"));
  }

  void field_check_mends_and_colours() {
    Setup s;
    SetupDialog dialog(s.context);
    type_into(find<QLineEdit>(dialog, Slot::scala_gerber), QStringLiteral("1,5"));
    type_into(find<QComboBox>(dialog, Slot::maxv_gc)->lineEdit(), QStringLiteral("f60"));
    QLineEdit* travel = find<QLineEdit>(dialog, Slot::z_iniz_v);
    type_into(travel, QStringLiteral("200"));
    dialog.check_fields();
    QCOMPARE(find<QLineEdit>(dialog, Slot::scala_gerber)->text(), QStringLiteral("1.5"));
    QCOMPARE(find<QComboBox>(dialog, Slot::maxv_gc)->currentText(), QStringLiteral("F60"));
    QCOMPARE(travel->palette().color(QPalette::Base), QColor(255, 255, 0));
    QCOMPARE(find<QLineEdit>(dialog, Slot::z_superf)->palette().color(QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(dialog.error_label()->text(), QStringLiteral("total errors= 1"));
    QCOMPARE(dialog.error_label()->palette().color(QPalette::Window), QColor(255, 255, 0));
    // The digit count takes the field's value at once.
    find<QComboBox>(dialog, Slot::Version)->setCurrentText(QStringLiteral("6"));
    type_into(travel, QStringLiteral("-123456"));
    dialog.check_fields();
    QCOMPARE(s.context.derived.digits, 6);
    QCOMPARE(dialog.error_label()->text(), QStringLiteral("total errors= 0"));
  }

  void ok_saves_and_cancel_does_not() {
    Setup s;
    {
      SetupDialog dialog(s.context);
      type_into(find<QLineEdit>(dialog, Slot::z_superf), QStringLiteral("1500"));
      QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
      QVERIFY(!dialog.saved());
    }
    QCOMPARE(s.file(), setup_file_text(SettingsRecord{}));
    SetupDialog dialog(s.context);
    type_into(find<QLineEdit>(dialog, Slot::z_superf), QStringLiteral("1500"));
    find<QComboBox>(dialog, Slot::unita_gerber)->setCurrentText(QStringLiteral("inch"));
    dialog.findChild<QAbstractButton*>(QStringLiteral("opt_gbr_3"))->click();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    QVERIFY(dialog.saved());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    SettingsRecord saved;
    QVERIFY(read_setup_file(s.context.setup_path, saved).ok);
    QCOMPARE(saved.text(Slot::z_superf), std::string("1500"));
    QCOMPARE(saved.text(Slot::unita_gerber), std::string("inch"));
    QCOMPARE(saved.text(Slot::opt_gbr), std::string("3"));
  }

  void save_as_and_load_setup_through_the_file_dialogs() {
    Setup s;
    SetupDialog dialog(s.context);
    dialog.dialogs.save = [](const QString& title, const QString& filter, const QString&) {
      return title == QStringLiteral("Salva con nome") && filter == QStringLiteral("files setup (*.stu)")
                 ? QStringLiteral("/elsewhere/mill.stu")
                 : QString();
    };
    find<QComboBox>(dialog, Slot::Version)->setCurrentText(QStringLiteral("6"));
    dialog.findChild<QPushButton*>(QStringLiteral("salva_con_nome"))->click();
    QCOMPARE(find<QLabel>(dialog, Slot::set_in_use)->text(), QStringLiteral("mill.stu"));
    QCOMPARE(s.context.setup_path, s.context.program_directory / "mill.stu");
    dialog.dialogs.open = [](const QString& title, const QString&, const QString&) {
      return title == QStringLiteral("apri") ? QStringLiteral("/elsewhere/vireo.stu") : QString();
    };
    dialog.findChild<QPushButton*>(QStringLiteral("carica_setup"))->click();
    QCOMPARE(find<QComboBox>(dialog, Slot::Version)->currentText(), QStringLiteral("5"));
    QCOMPARE(s.context.setup_path, s.context.program_directory / "vireo.stu");
    QVERIFY(dialog.saved());
  }

  void tool_options_pass_calculator_and_pen_rule() {
    Setup s;
    SetupDialog dialog(s.context);
    auto* pre_measured = find<QCheckBox>(dialog, Slot::ute_pretarati);
    auto* measure = find<QCheckBox>(dialog, Slot::Check_ena_tara);
    pre_measured->setChecked(true);
    measure->click();
    QVERIFY(measure->isChecked());
    QVERIFY(!pre_measured->isChecked());
    QVERIFY(find<QCheckBox>(dialog, Slot::Check_ena_sensor)->isChecked());
    // Automatic tool change needs the changer.
    auto* automatic = find<QCheckBox>(dialog, Slot::f_tauto);
    automatic->click();
    QVERIFY(!automatic->isChecked());
    find<QCheckBox>(dialog, Slot::check_ena_tc)->click();
    automatic->click();
    QCOMPARE(automatic->text(), QStringLiteral("Auto TC"));

    type_into(find<QLineEdit>(dialog, Slot::numero_passate), QStringLiteral("4"));
    QCOMPARE(dialog.last_pass()->text(), QStringLiteral(" 500"));
    type_into(dialog.last_pass(), QStringLiteral("900"));
    emit dialog.last_pass()->editingFinished();
    QCOMPARE(find<QLineEdit>(dialog, Slot::incr_passate)->text(), QStringLiteral("200"));
    QCOMPARE(dialog.last_pass()->text(), QStringLiteral(" 900"));

    find<QComboBox>(dialog, Slot::atc_hpgl)->setCurrentText(QStringLiteral("TC"));
    QVERIFY(!find<QLineEdit>(dialog, Slot::pen, 3)->isEnabled());
    QVERIFY(!find<QLineEdit>(dialog, Slot::ziniz_hp)->isEnabled());
    QVERIFY(find<QLineEdit>(dialog, Slot::speed, 3)->isEnabled());
    find<QComboBox>(dialog, Slot::atc_hpgl)->setCurrentText(QStringLiteral("prof_var"));
    QVERIFY(find<QLineEdit>(dialog, Slot::pen, 3)->isEnabled());
  }

  void description_hint_by_ctrl_c_is_kept_in_slot_180() {
    Setup s;
    s.host.inputs.push_back(std::string("sale di 5mm"));
    SetupDialog dialog(s.context);
    QLineEdit* fourth = find<QLineEdit>(dialog, Slot::descrizione1, 3);
    QTest::keyClick(fourth, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(s.host.messages.back(), std::string(kDescriptionHintPrompt));
    QCOMPARE(fourth->toolTip(), QStringLiteral("sale di 5mm"));
    dialog.findChild<QPushButton*>(QStringLiteral("ApplyButton"))->click();
    SettingsRecord saved;
    QVERIFY(read_setup_file(s.context.setup_path, saved).ok);
    QCOMPARE(saved.text(Slot::locazione_disponibile), std::string("sale di 5mm"));
  }

  void english_texts() {
    Setup s(1000);
    SetupDialog dialog(s.context);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Machine setup"));
    QCOMPARE(dialog.tabs()->tabText(1), QStringLiteral("Z and feeds"));
    // The numbered buttons keep their numbers (2 + 1000 would be a menu caption).
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("Command_nu_2"))->text(), QStringLiteral("2"));
    QCOMPARE(find<QLineEdit>(dialog, Slot::z_fres_v)->toolTip().isEmpty(), false);
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->text(), QStringLiteral("Cancel"));
  }

  // A port that cannot be opened: its message, then the dialog; cancelled, the program starts offline.
  void start_up_with_a_port_that_cannot_open_goes_offline() {
    QTemporaryDir dir;
    const std::filesystem::path home(dir.path().toStdString());
    SettingsRecord record;
    record.set_text(Slot::s_periferica, "com9");
    QVERIFY(write_setup_file(home / "vireo.stu", record).empty());
    const std::string before = read_file(home / "vireo.stu");
    qputenv("VIREO_COM9", QByteArray(dir.filePath(QStringLiteral("no-port")).toLocal8Bit()));
    QString message;
    bool dialog_shown = false;
    answer_modals({[&](QWidget* w) {
                     if (auto* box = qobject_cast<QMessageBox*>(w)) message = box->text();
                     qobject_cast<QDialog*>(w)->accept();
                   },
                   [&](QWidget* w) {
                     dialog_shown = w->objectName() == QStringLiteral("frmsetup");
                     qobject_cast<QDialog*>(w)->reject();
                   }});
    StartupOptions options;
    options.data_directory = home;
    options.placement.ini_file = dir.filePath(QStringLiteral("placement.ini"));
    options.splash = false;
    Program program(std::move(options));
    QVERIFY(program.start());
    qunsetenv("VIREO_COM9");
    QVERIFY2(message.startsWith(QStringLiteral("Errore  8002\n")), qPrintable(message));
    QVERIFY(dialog_shown);
    QCOMPARE(program.context().settings.text(Slot::s_periferica), std::string("dummy"));
    QTRY_COMPARE(program.main_window()->status_panel(5)->text(),
                 QStringLiteral("non in linea: com9 non aperta, periferica dummy"));
    QCOMPARE(read_file(home / "vireo.stu"), before);
  }

  // Help > firmware update through the main window: both questions answered Yes, the firmware file
  // opened as the document, the port released for the loader (missing here, so reported) and
  // opened again by the settings load that follows.
  void firmware_update_from_the_help_menu() {
    QTemporaryDir dir;
    const std::filesystem::path home(dir.path().toStdString());
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    qputenv("VIREO_COM3", QByteArray(::ptsname(terminal)));
    SettingsRecord record;
    record.set_text(Slot::s_periferica, "com3");
    QVERIFY(write_setup_file(home / "vireo.stu", record).empty());
    const QString firmware = dir.filePath(QStringLiteral("Kora_12.s19"));
    QFile file(firmware);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("S9030000FC\r\n");
    file.close();
    StartupOptions options;
    options.data_directory = home;
    options.placement.ini_file = dir.filePath(QStringLiteral("placement.ini"));
    options.splash = false;
    Program program(std::move(options));
    QVERIFY(program.start());
    MainWindow* window = program.main_window();
    QString filter;
    window->dialogs.open = [&](const QString&, const QString& asked, const QString&) {
      filter = asked;
      return firmware;
    };
    QStringList shown;
    const auto yes = [&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      shown << box->text();
      box->button(QMessageBox::Yes)->click();
    };
    answer_modals({yes, yes, [&](QWidget* w) {
                     shown << qobject_cast<QMessageBox*>(w)->text();
                     qobject_cast<QDialog*>(w)->accept();
                   }});
    window->run(Command::firmware);
    qunsetenv("VIREO_COM3");
    ::close(terminal);
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown[0], QStringLiteral("aggiornamento firmware CNC, ricerca file Kora_xx.S19"));
    QCOMPARE(shown[2], QStringLiteral("[firmware:]fwflash non trovato"));
    QVERIFY2(filter.startsWith(QStringLiteral("files firmware (*.s19)")), qPrintable(filter));
    QCOMPARE(program.context().workspace.last_document, firmware.toStdString());
    QVERIFY(program.context().serial->is_open());
  }

  // The loader is started beside the program or from the path; a missing one is named.
  void programs_start_detached_or_are_reported_missing() {
    QtHost host;
    QCOMPARE(host.start_program("no-such-loader  1:D /fw/k.s19"), std::string("no-such-loader non trovato"));
    QCOMPARE(host.start_program("true  1:D /fw/k.s19"), std::string());
  }

  void screenshots() {
    const QByteArray target = qgetenv("VIREO_SETUP_SHOTS");
    if (target.isEmpty()) QSKIP("VIREO_SETUP_SHOTS is not set");
    const QSize area = QApplication::primaryScreen()->availableGeometry().size();
    for (int offset : {0, 1000}) {
      Setup s(offset);
      SetupDialog dialog(s.context);
      dialog.show();
      const auto shoot = [&](const QString& name) {
        QApplication::processEvents();
        dialog.grab().save(QStringLiteral("%1/%2x%3-%4-%5.png")
                               .arg(QString::fromLocal8Bit(target))
                               .arg(area.width())
                               .arg(area.height())
                               .arg(offset ? QStringLiteral("en") : QStringLiteral("it"), name));
      };
      for (int tab = 0; tab < dialog.tabs()->count(); ++tab) {
        dialog.tabs()->setCurrentIndex(tab);
        if (auto* formats = qobject_cast<QTabWidget*>(dialog.tabs()->widget(tab)->findChild<QTabWidget*>())) {
          for (int page = 0; page < formats->count(); ++page) {
            formats->setCurrentIndex(page);
            shoot(QStringLiteral("tab%1-%2").arg(tab).arg(page));
          }
        } else {
          shoot(QStringLiteral("tab%1").arg(tab));
        }
      }
    }
  }
};

}  // namespace vireo

QTEST_MAIN(vireo::SetupDialogTest)
#include "setup_dialog_test.moc"
