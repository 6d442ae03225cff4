// The desktop program's context: the shared records of the logic plus the user-interface texts, which
// only the front ends read.
#pragma once

#include "app/string_table.h"
#include "core/context.h"

namespace vireo {

struct UiContext : Context {
  using Context::Context;
  StringTable strings;  // the user-interface texts; empty until start-up loads them
};

}  // namespace vireo
