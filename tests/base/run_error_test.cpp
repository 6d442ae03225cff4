#include "base/run_error.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

TEST(RunErrorMessage, TagNumberAndDescriptionInEachLayout) {
  struct Case {
    std::string_view tag;
    int number;
    ErrorLayout layout;
    const char* text;
  } cases[] = {
      {"[converti:]", 5, kMessageBoxLayout, "[converti:]Errore 5\rInvalid procedure call or argument"},
      {"[GRAPH:]", 53, kMessageBoxLayout, "[GRAPH:]Errore 53\rInvalid procedure call or argument"},
      {"", 8002, kPortMessageLayout, "Errore  8002\rInvalid procedure call or argument"},
      {"[Invia:]", 8012, kStatusTextLayout, "[Invia:]Errore  8012   Invalid procedure call or argument"},
      {"[Invia:]", -1, kStatusTextLayout, "[Invia:]Errore -1   Invalid procedure call or argument"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RunError(c.number, "Invalid procedure call or argument").message(c.tag, c.layout), c.text) << c.tag;
}

}  // namespace
}  // namespace vireo
