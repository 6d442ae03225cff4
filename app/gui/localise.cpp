#include "app/gui/localise.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVariant>

#include "app/string_table.h"

namespace vireo {
namespace {

class Localiser {
 public:
  Localiser(const StringTable& table, int offset) : table_(table), offset_(offset) {}

  // The text for a property, or the property itself when it is not to be replaced.
  QString text(const QString& current) const {
    const QByteArray bytes = current.toLatin1();
    const std::optional<std::string> replaced =
        localised_text(table_, offset_, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return replaced ? QString::fromLatin1(replaced->data(), static_cast<qsizetype>(replaced->size())) : current;
  }
  // The text of an id given by number (tags), or nothing.
  std::optional<QString> text_of(long long id) const {
    if (id <= 0 || id > 1'000'000'000) return std::nullopt;
    const std::string* found = table_.find(static_cast<int>(id) + offset_);
    if (!found) return std::nullopt;
    return QString::fromLatin1(found->data(), static_cast<qsizetype>(found->size()));
  }

  void tool_tip(QWidget* w) const { w->setToolTip(text(w->toolTip())); }

  void menu(QMenu* menu) const {
    menu->setTitle(text(menu->title()));
    for (QAction* action : menu->actions()) {
      if (QMenu* sub = action->menu()) this->menu(sub);
      else if (!action->isSeparator()) action->setText(text(action->text()));
    }
  }

  void control(QWidget* w) const {
    if (auto* bar = qobject_cast<QMenuBar*>(w)) {
      for (QAction* action : bar->actions())
        if (QMenu* sub = action->menu()) menu(sub);
    } else if (qobject_cast<QMenu*>(w)) {
      // Menus are reached through their menu bar or the window's own actions.
    } else if (auto* tool_bar = qobject_cast<QToolBar*>(w)) {
      for (QAction* action : tool_bar->actions())
        if (!action->isSeparator()) action->setToolTip(text(action->toolTip()));
    } else if (auto* status = qobject_cast<QStatusBar*>(w)) {
      for (QWidget* panel : status->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) tool_tip(panel);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) {
        tabs->setTabText(i, text(tabs->tabText(i)));
        tabs->setTabToolTip(i, text(tabs->tabToolTip(i)));
      }
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
      if (QTreeWidgetItem* header = tree->headerItem())
        for (int c = 0; c < header->columnCount(); ++c) header->setText(c, text(header->text(c)));
      other(w);
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
      for (int c = 0; c < table->columnCount(); ++c)
        if (QTableWidgetItem* item = table->horizontalHeaderItem(c)) item->setText(text(item->text()));
      other(w);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
      label->setText(text(label->text()));
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      tool_tip(group);
      group->setTitle(text(group->title()));
    } else if (qobject_cast<QPushButton*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QToolButton*>(w)) {
      auto* button = static_cast<QAbstractButton*>(w);
      tool_tip(button);
      button->setText(text(button->text()));
    } else {
      other(w);
    }
  }

  // Controls without a caption of their own: the tag gives the caption, the tool tip its own id.
  void other(QWidget* w) const {
    const QVariant tag = w->property(kTagProperty);
    if (tag.isValid()) {
      if (const std::optional<QString> caption = text_of(leading_id(tag.toString()))) {
        if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(*caption);
      }
    }
    if (const std::optional<QString> tip = text_of(leading_id(w->toolTip()))) w->setToolTip(*tip);
  }

  // The numeric value of a text, 0 when it does not start with a number.
  static long long leading_id(const QString& text) {
    long long value = 0;
    int digits = 0;
    for (const QChar c : text.trimmed()) {
      if (!c.isDigit() || ++digits > 10) break;
      value = value * 10 + c.digitValue();
    }
    return value;
  }

 private:
  const StringTable& table_;
  int offset_;
};

// Child windows (of an MDI area, dialogs owned by the window) localise themselves when they load.
bool belongs_to_other_window(const QWidget* w, const QWidget* window) {
  for (; w && w != window; w = w->parentWidget())
    if (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w)) return true;
  return false;
}

}  // namespace

void localise_window(QWidget* window, const StringTable& table, int offset) {
  if (!window) return;
  const Localiser localiser(table, offset);
  window->setWindowTitle(localiser.text(window->windowTitle()));
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (belongs_to_other_window(child, window)) continue;
    // Status panels and tool bar buttons are handled with their bar.
    if (qobject_cast<QStatusBar*>(child->parentWidget()) || qobject_cast<QToolBar*>(child->parentWidget())) continue;
    localiser.control(child);
  }
}

void use_qt_translations(int language_offset) {
  const QString name = QStringLiteral("qt_italian");
  QTranslator* installed = qApp->findChild<QTranslator*>(name);
  if (language_offset != 0) {
    if (installed) {
      QCoreApplication::removeTranslator(installed);
      delete installed;
    }
    return;
  }
  if (installed) return;
  auto* translator = new QTranslator(qApp);
  translator->setObjectName(name);
  if (translator->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
}

}  // namespace vireo
