// The ISA cards through the driver library `iocard`, loaded by name at the first character: the
// library beside the program, else "libiocard.so" on the library path. Its entry points `hex300` and
// `hex310` each put one character code on the card at that base address.
#pragma once

#include <cstdint>
#include <string>

#include "core/isa_card.h"

namespace vireo {

class IocardLibrary : public IsaCard {
 public:
  // `library`: the file to load instead of searching for it.
  explicit IocardLibrary(std::string library = {});
  ~IocardLibrary() override;
  IocardLibrary(const IocardLibrary&) = delete;
  IocardLibrary& operator=(const IocardLibrary&) = delete;

  // Throws RunError when the library or the entry point cannot be loaded (tried again next time) or
  // the base is neither 0x300 nor 0x310.
  void write(int base, std::int32_t code) override;

 private:
  using Entry = int (*)(std::int32_t);
  void load();
  Entry entry(const char* name, Entry& slot);

  std::string library_;
  void* handle_ = nullptr;
  Entry hex300_ = nullptr;
  Entry hex310_ = nullptr;
};

}  // namespace vireo
