// The tests' text view: the in-memory view of the command-line front end, with its record of colourings.
#pragma once

#include "core/memory_text_view.h"

namespace vireo::test {

using FakeTextView = MemoryTextView;

}  // namespace vireo::test
