// A context with a scripted host and a document window, for running conversions in tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/context.h"
#include "core/line_sink.h"
#include "convert/driver.h"
#include "link/output_channel.h"
#include "settings/settings_record.h"
#include "tests/support/fake_host.h"
#include "tests/support/temp_dir.h"

namespace vireo::test {

struct ConversionTest : ::testing::Test {
  FakeHost host;
  FakeTextView document;
  TempDir dir;
  RecordingSink recorded;  // the channel's listener, made before the context so that it outlives it
  Context context{host};

  ConversionTest() {
    host.document = &document;
    context.channel.listener = &recorded;
    derive_settings(context.settings, context.derived);
  }

  void set(Slot slot, std::string text, int element = 0) {
    context.settings.set_text(slot, element, std::move(text));
    derive_settings(context.settings, context.derived);
  }

  // Opens `text` as the document `name` (in the test's directory) and converts it into `sink`.
  ConversionOutcome convert(const std::string& text, std::string_view sink, const std::string& name = "t.gbr") {
    document.set_text(text);
    host.caption = dir.file(name);
    recorded.lines.clear();
    context.channel.sink = sink;
    return convert_document(context);
  }

  // The delivered lines joined by "|", easier to read in a failure than a vector.
  std::string delivered() const {
    std::string joined;
    for (const std::string& line : recorded.lines) joined += (joined.empty() ? "" : "|") + line;
    return joined;
  }
};

}  // namespace vireo::test
