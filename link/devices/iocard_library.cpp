#include "link/devices/iocard_library.h"

#include <filesystem>
#include <system_error>

#include <dlfcn.h>

#include "base/run_error.h"

namespace vireo {
namespace {

constexpr const char* kLibraryName = "libiocard.so";

std::string last_dl_error() {
  const char* text = ::dlerror();
  return text ? text : "unknown reason";
}

// The directory of the running program.
std::filesystem::path program_directory() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program.parent_path();
}

}  // namespace

IocardLibrary::IocardLibrary(std::string library) : library_(std::move(library)) {}

IocardLibrary::~IocardLibrary() {
  if (handle_) ::dlclose(handle_);
}

void IocardLibrary::load() {
  if (handle_) return;
  if (!library_.empty()) {
    handle_ = ::dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL);
  } else {
    const std::filesystem::path beside = program_directory() / kLibraryName;
    if (std::filesystem::exists(beside)) handle_ = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) handle_ = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  }
  if (!handle_) throw RunError(err::kLibraryLoad, "Error in loading DLL: " + last_dl_error());
}

IocardLibrary::Entry IocardLibrary::entry(const char* name, Entry& slot) {
  if (slot) return slot;
  load();
  ::dlerror();
  slot = reinterpret_cast<Entry>(::dlsym(handle_, name));
  if (!slot) throw RunError(err::kEntryPoint, std::string("Can't find DLL entry point ") + name + ": " + last_dl_error());
  return slot;
}

void IocardLibrary::write(int base, std::int32_t code) {
  if (base == 0x300) {
    entry("hex300", hex300_)(code);
  } else if (base == 0x310) {
    entry("hex310", hex310_)(code);
  } else {
    throw RunError(err::kInvalidArgument, "Invalid procedure call or argument: no ISA card at " + std::to_string(base));
  }
}

}  // namespace vireo
