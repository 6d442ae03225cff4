// The desktop program: reads the workspace and the settings, then shows the main window with the
// document named on the command line.
#include <QApplication>

#include "app/gui/icons.h"
#include "app/gui/program.h"
#include "settings/data_dir.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vireo"));
  QApplication::setOrganizationName(QStringLiteral("vireo"));
  QApplication::setWindowIcon(vireo::program_icon());
  vireo::StartupOptions options;
  options.data_directory = vireo::data_directory();
  for (int i = 1; i < argc; ++i) options.arguments.emplace_back(argv[i]);
  vireo::Program program(std::move(options));
  if (!program.start()) return 1;
  return QApplication::exec();
}
