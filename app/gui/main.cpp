// The desktop program: reads the workspace and the settings, then shows the main window.
#include <QApplication>

#include "app/context.h"
#include "app/gui/main_window.h"
#include "app/session.h"
#include "link/devices/iocard_library.h"
#include "link/devices/posix_serial_port.h"
#include "settings/data_dir.h"
#include "settings/setup_file.h"

namespace {

// Until the setup dialog exists, a first start writes the default settings as that dialog would.
class StartupHost : public vireo::Host {
 public:
  bool run_setup_dialog(vireo::Context& context) override {
    return vireo::write_setup_file(context.setup_path, vireo::SettingsRecord{}).empty();
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  StartupHost host;
  vireo::Context context(host);
  vireo::PosixSerialPort serial;  // comN: VIREO_COM<N>, else /dev/ttyS<N-1>
  vireo::IocardLibrary isa;
  context.serial = &serial;
  context.isa = &isa;
  vireo::use_program_directory(context, vireo::data_directory());
  vireo::read_workspace(context);
  if (!vireo::load_settings(context)) return 1;
  vireo::MainWindow window(context);
  window.show();
  return app.exec();
}
