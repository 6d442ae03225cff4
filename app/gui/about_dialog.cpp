#include "app/gui/about_dialog.h"

#include <algorithm>

#include <sys/utsname.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QFontMetrics>
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
    : QDialog(parent), browser_(new QTextBrowser(this)), search_(new QLineEdit(this)), search_result_(new QLabel(this)) {
  setObjectName(QStringLiteral("help"));
  setWindowTitle(QStringLiteral("vireo - Help"));
  auto* layout = new QVBoxLayout(this);
  search_->setPlaceholderText(QStringLiteral("?"));
  search_->setObjectName(QStringLiteral("search"));
  search_->setClearButtonEnabled(true);
  search_result_->setObjectName(QStringLiteral("search_result"));
  layout->addWidget(search_);
  layout->addWidget(search_result_);
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
  bool found = browser_->find(what);
  if (!found) {
    browser_->moveCursor(QTextCursor::Start);
    found = browser_->find(what);
  }
  search_result_->setText(found ? QString() : not_found_text_);
}

QSplashScreen* make_splash(const UiContext& context) {
  // As wide as the product line needs, so no text is cut at the sides.
  const QString product = ui(context, sid::kAboutProduct);
  QFont font;
  font.setPointSize(10);
  const int width = std::max(360, QFontMetrics(font).horizontalAdvance(product) + 48);
  QPixmap picture(width, 180);
  picture.fill(QColor(32, 64, 96));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(137, 205, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(picture.rect().adjusted(6, 6, -7, -7), 10, 10);
  QFont title = font;
  title.setPointSize(30);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 20, width, 70), Qt::AlignCenter, QStringLiteral("vireo"));
  painter.setFont(font);
  painter.drawText(QRect(0, 90, width, 30), Qt::AlignCenter, product);
  painter.drawText(QRect(0, 130, width, 30), Qt::AlignCenter, version_text());
  painter.end();
  auto* splash = new QSplashScreen(picture);
  splash->setObjectName(QStringLiteral("frmSplash"));
  return splash;
}

}  // namespace vireo
