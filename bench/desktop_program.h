// Starts the desktop program for a benchmark, offscreen, in a temporary home with `document` open.
// A setup file is written first (defaults, with the changes `adjust` makes), so that the start does
// not stop in the first-start setup dialog, which nobody answers in a benchmark.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

#include <QString>

#include "app/gui/program.h"
#include "settings/settings_record.h"
#include "settings/setup_file.h"

namespace vireo::bench {

// Null, with the reason on stderr, when the program does not start.
inline std::unique_ptr<Program> start_desktop_program(const std::filesystem::path& home,
                                                      const std::filesystem::path& document,
                                                      const std::function<void(SettingsRecord&)>& adjust = {}) {
  SettingsRecord settings;
  if (adjust) adjust(settings);
  write_setup_file(home / "vireo.stu", settings);
  StartupOptions options;
  options.data_directory = home;
  options.placement.ini_file = QString::fromStdString((home / "placement.ini").string());
  options.arguments = {document.string()};
  options.splash = false;
  auto program = std::make_unique<Program>(std::move(options));
  if (!program->start()) {
    std::fprintf(stderr, "the program did not start\n");
    return nullptr;
  }
  return program;
}

}  // namespace vireo::bench
