// The desktop program as a whole: its host, context and machine link, and the start-up that brings
// up the main window.
#pragma once

#include <QString>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui_context.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_host.h"
#include "link/devices/iocard_library.h"
#include "link/devices/posix_serial_port.h"

namespace vireo {

struct StartupOptions {
  std::filesystem::path data_directory;  // the program directory of the files
  PlacementStore placement;
  std::vector<std::string> arguments;  // the command line after the program's name
  bool splash = true;
  // Runs once the main window exists, before its load step: the place where the parts built
  // elsewhere plug in (conversion driver, command handlers, tool-window factories).
  std::function<void(MainWindow&, UiContext&)> on_window_created;
};

class Program {
 public:
  explicit Program(StartupOptions options);
  ~Program();

  // Start-up: the string table, the splash, the main window's load step, then the main window shown.
  // False when the settings could not be loaded.
  bool start();

  UiContext& context() { return context_; }
  QtHost& host() { return host_; }
  MainWindow* main_window() const { return window_.get(); }

 private:
  StartupOptions options_;
  QtHost host_;
  UiContext context_;
  PosixSerialPort serial_;  // comN: VIREO_COM<N>, else /dev/ttyS<N-1>
  IocardLibrary isa_;
  std::unique_ptr<MainWindow> window_;
  QTimer serial_events_;  // hands the port's receive events to the handler
  bool taking_serial_events_ = false;
};

// Plugs the windows of manual control into the main window: the keypad and immediate-command tool
// windows, find centre and the monitor.
void add_manual_control(MainWindow& window, UiContext& context);

// Writes the bundled help files ("vireo_ita.hlp", "vireo_eng.hlp") into the directory where they are
// missing, so that the language copy at start-up finds them.
void install_help_files(const std::filesystem::path& directory);

}  // namespace vireo
