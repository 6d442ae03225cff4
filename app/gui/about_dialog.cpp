#include "app/gui/about_dialog.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSplashScreen>
#include <QSysInfo>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <thread>

#include "app/ui_context.h"
#include "app/gui/localise.h"
#include "app/string_ids.h"
#include "app/version.h"

namespace vireo {

QString version_text() {
  return QStringLiteral("version: %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

namespace {
QString ui(const UiContext& context, int id) {
  const std::string text = ui_text(context.strings, context.language_offset, id);
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

AboutDialog::AboutDialog(UiContext& context, QWidget* parent) : QDialog(parent), context_(context) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QString::number(sid::kAboutCaption));
  auto* grid = new QGridLayout(this);
  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
  grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
  auto* title = new QLabel(QStringLiteral("vireo"), this);
  QFont big = title->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  title->setFont(big);
  grid->addWidget(title, 0, 1);
  grid->addWidget(new QLabel(version_text(), this), 1, 1);
  int row = 2;
  for (int id : {sid::kAboutProduct, sid::kAboutFamily, sid::kAboutDescription, sid::kAboutWarning,
                 sid::kAboutSupport, sid::kAboutRights}) {
    auto* label = new QLabel(QString::number(id), this);
    label->setWordWrap(true);
    grid->addWidget(label, row++, 1, 1, 2);
  }
  auto* ok = new QPushButton(QString::number(sid::kAboutOk), this);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setToolTip(QString::number(sid::kAboutOkHint));
  ok->setDefault(true);
  auto* info = new QPushButton(QStringLiteral("&System Info..."), this);
  info->setObjectName(QStringLiteral("cmdSysInfo"));
  info->setToolTip(QString::number(sid::kAboutSystemInfoHint));
  grid->addWidget(ok, row, 2);
  grid->addWidget(info, row + 1, 2);
  grid->setColumnStretch(1, 1);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(info, &QPushButton::clicked, this, &AboutDialog::show_system_info);
  localise_window(this, context_.strings, context_.language_offset);
  setWindowTitle(windowTitle() + QStringLiteral(" vireo"));
  setMinimumWidth(460);
}

QString system_information(const UiContext& context) {
  QString info;
  utsname name{};
  if (uname(&name) == 0) {
    info += QStringLiteral("%1 %2 %3 %4 %5\n")
                .arg(ui(context, sid::kInfoSystem), QString::fromLocal8Bit(name.sysname),
                     QString::fromLocal8Bit(name.release), QString::fromLocal8Bit(name.version),
                     QString::fromLocal8Bit(name.machine));
  }
  info += QStringLiteral("%1 %2\n").arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion());
  info += QStringLiteral("%1 Qt %2 (%3)\n").arg(ui(context, sid::kInfoGraphics), QString::fromLatin1(qVersion()),
                                                 QGuiApplication::platformName());
  info += QStringLiteral("%1 %2, %3 x %4\n")
              .arg(ui(context, sid::kInfoProcessor), QSysInfo::currentCpuArchitecture())
              .arg(std::thread::hardware_concurrency())
              .arg(QSysInfo::buildAbi());
  const long pages = sysconf(_SC_PHYS_PAGES), page_size = sysconf(_SC_PAGE_SIZE);
  if (pages > 0 && page_size > 0)
    info += QStringLiteral("RAM: %1 MB\n").arg(static_cast<long long>(pages) * page_size / (1024 * 1024));
  info += QStringLiteral("%1 %2\n").arg(ui(context, sid::kInfoDataFolder),
                                        QString::fromStdString(context.program_directory.string()));
  return info;
}

void AboutDialog::show_system_info() {
  const QString info = system_information(context_);
  QMessageBox box(this);
  box.setWindowTitle(ui(context_, sid::kInfoCaption));
  box.setText(info.isEmpty() ? QStringLiteral("Informazioni sul sistema non disponibili in questa fase.") : info);
  box.exec();
}

HelpViewer::HelpViewer(QWidget* parent)
    : QDialog(parent), browser_(new QTextBrowser(this)), search_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("help"));
  setWindowTitle(QStringLiteral("vireo - Help"));
  auto* layout = new QVBoxLayout(this);
  search_->setPlaceholderText(QStringLiteral("?"));
  search_->setObjectName(QStringLiteral("search"));
  search_->setClearButtonEnabled(true);
  layout->addWidget(search_);
  layout->addWidget(browser_);
  browser_->setOpenExternalLinks(false);
  connect(search_, &QLineEdit::returnPressed, this, &HelpViewer::search_next);
  resize(640, 560);
}

bool HelpViewer::load(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray content = file.readAll();
  browser_->setHtml(QString::fromUtf8(content));
  return true;
}

void HelpViewer::show_contents() {
  browser_->moveCursor(QTextCursor::Start);
  browser_->verticalScrollBar()->setValue(0);
  show();
  raise();
  browser_->setFocus();
}

void HelpViewer::set_search_hint(const QString& hint) { search_->setPlaceholderText(hint); }

void HelpViewer::show_search() {
  search_->clear();
  show();
  raise();
  search_->setFocus();
}

void HelpViewer::search_next() {
  const QString what = search_->text();
  if (what.isEmpty()) return;
  if (!browser_->find(what)) {
    browser_->moveCursor(QTextCursor::Start);
    browser_->find(what);
  }
}

QSplashScreen* make_splash(const UiContext& context) {
  QPixmap picture(360, 180);
  picture.fill(QColor(32, 64, 96));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(137, 205, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(picture.rect().adjusted(6, 6, -7, -7), 10, 10);
  QFont font = painter.font();
  font.setPointSize(30);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 20, 360, 70), Qt::AlignCenter, QStringLiteral("vireo"));
  font.setPointSize(10);
  font.setBold(false);
  painter.setFont(font);
  painter.drawText(QRect(0, 90, 360, 30), Qt::AlignCenter, ui(context, sid::kAboutProduct));
  painter.drawText(QRect(0, 130, 360, 30), Qt::AlignCenter, version_text());
  painter.end();
  auto* splash = new QSplashScreen(picture);
  splash->setObjectName(QStringLiteral("frmSplash"));
  return splash;
}

}  // namespace vireo
