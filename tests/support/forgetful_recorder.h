// A recording sink for tests of line sequences: it keeps every delivered line and then forgets the
// position display, so that the encoder never drops a repeated Z move or feed code and the lines
// read as the producer wrote them; the pulse state is still followed.
#pragma once

#include <string_view>

#include "core/context.h"
#include "core/line_sink.h"

namespace vireo::test {

struct ForgetfulRecorder : RecordingSink {
  Context* context = nullptr;
  void take(std::string_view line) override {
    RecordingSink::take(line);
    context->display.display_z = 999999999;
    context->display.display_f = -1;
  }
};

}  // namespace vireo::test
