// The about box, the system information it offers, the help viewer and the splash window.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QSplashScreen;
class QTextBrowser;

namespace vireo {

struct UiContext;

// "version: " + major.minor.revision
QString version_text();

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(UiContext& context, QWidget* parent = nullptr);

 private:
  void show_system_info();
  UiContext& context_;
};

// This machine's system information: operating system (uname), Qt version, processor, memory, the
// data folder. Empty when none can be had.
QString system_information(const UiContext& context);

// The help viewer: shows the help file (HTML) with its contents, or with the search field ready.
class HelpViewer : public QDialog {
  Q_OBJECT
 public:
  explicit HelpViewer(QWidget* parent = nullptr);
  // Loads the file; false when it cannot be read.
  bool load(const QString& path);
  void show_contents();
  void show_search();
  void set_search_hint(const QString& hint);
  // The text shown under the search field when the help holds no match.
  void set_not_found_text(const QString& text) { not_found_text_ = text; }
  QLabel* search_result() const { return search_result_; }
  QTextBrowser* browser() const { return browser_; }

 private:
  void search_next();
  QTextBrowser* browser_;
  QLineEdit* search_;
  QLabel* search_result_;
  QString not_found_text_ = QStringLiteral("non trovato");
};

// The splash window: the program's name and version, shown while the main window loads.
QSplashScreen* make_splash(const UiContext& context);

}  // namespace vireo
