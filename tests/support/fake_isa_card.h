// An ISA card for tests: records every character code with the base address it was written at, or
// fails like a driver library that cannot be loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/isa_card.h"
#include "base/run_error.h"

namespace vireo::test {

class FakeIsaCard : public IsaCard {
 public:
  std::optional<RunError> failure;                 // thrown by every write while set
  std::vector<std::pair<int, std::int32_t>> writes;  // (base, code) in order

  void write(int base, std::int32_t code) override {
    if (failure) throw *failure;
    writes.emplace_back(base, code);
  }
  // The codes written at one base, as text.
  std::string text_at(int base) const {
    std::string text;
    for (const auto& [at, code] : writes)
      if (at == base) text += static_cast<char>(code);
    return text;
  }
};

}  // namespace vireo::test
