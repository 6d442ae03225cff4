// In English mode no window may show a text of the Italian string table: the walk opens the windows an
// operator meets and lists every visible text that is an Italian entry with a different English twin.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <set>

#include "app/gui/about_dialog.h"
#include "app/gui/document_windows.h"
#include "app/gui/find_window.h"
#include "app/gui/main_window.h"
#include "app/gui/program.h"
#include "app/gui/select_dialog.h"
#include "app/string_table.h"
#include "settings/setup_file.h"

using namespace vireo;

namespace {

// The Italian entries that an English window must not show: those whose English twin differs.
std::set<QString> italian_only_texts() {
  const StringTable table = builtin_string_table();
  std::set<QString> texts;
  for (int id : table.ids()) {
    if (id < 1000 || id > 1999) continue;
    const std::string* italian = table.find(id);
    const std::string* english = table.find(id + 1000);
    if (!italian || !english || *italian == *english) continue;
    QString text = QString::fromLatin1(italian->c_str()).remove(QLatin1Char('&')).trimmed();
    if (text.size() > 2) texts.insert(text);
  }
  return texts;
}

void collect(QWidget* window, std::vector<std::pair<QString, QString>>& shown) {
  auto add = [&shown](const QObject* where, QString text) {
    text = text.remove(QLatin1Char('&')).trimmed();
    if (!text.isEmpty()) shown.emplace_back(where->objectName(), text);
  };
  add(window, window->windowTitle());
  for (const QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    if (auto* label = qobject_cast<const QLabel*>(w)) add(w, label->text());
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) add(w, button->text());
    if (auto* group = qobject_cast<const QGroupBox*>(w)) add(w, group->title());
    if (auto* tabs = qobject_cast<const QTabWidget*>(w))
      for (int i = 0; i < tabs->count(); ++i) add(w, tabs->tabText(i));
    add(w, w->toolTip());
    add(w, w->windowTitle());
  }
  for (const QAction* action : window->findChildren<QAction*>()) {
    add(action, action->text());
    add(action, action->toolTip());
  }
}

}  // namespace

class EnglishModeTest : public QObject {
  Q_OBJECT

 private slots:
  void no_window_shows_an_italian_text();
};

void EnglishModeTest::no_window_shows_an_italian_text() {
  QTemporaryDir dir;
  const std::filesystem::path data(dir.path().toStdString());
  SettingsRecord settings;
  settings.set_text(Slot::s_lingua, "English");
  write_setup_file(data / "vireo.stu", settings);
  std::ofstream(data / "board.gbr", std::ios::binary) << "D10*\nX100Y200D02*\nX300Y200D01*\nM02*\n";
  std::ofstream(data / "board.tpx", std::ios::binary) << "Z00800*X00100*";
  StartupOptions options;
  options.data_directory = data;
  options.placement.ini_file = dir.filePath(QStringLiteral("placement.ini"));
  options.arguments = {(data / "board.gbr").string()};
  options.splash = false;
  Program program(std::move(options));
  QVERIFY(program.start());
  MainWindow* window = program.main_window();
  window->run(Command::convert_to_text);
  window->run(Command::show_program);
  window->show_find();

  std::vector<std::pair<QString, QString>> shown;
  collect(window, shown);
  if (window->find_window()) collect(window->find_window(), shown);
  AboutDialog about(program.context(), window);
  collect(&about, shown);
  SelectDialog select(program.context(), window);
  collect(&select, shown);

  const std::set<QString> italian = italian_only_texts();
  QStringList found;
  for (const auto& [where, text] : shown)
    if (italian.count(text)) found << where + QStringLiteral(": ") + text;
  QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("\n"))));
}

QTEST_MAIN(EnglishModeTest)
#include "english_mode_test.moc"
