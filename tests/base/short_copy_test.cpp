#include "base/short_copy.h"

#include <gtest/gtest.h>

#include <string>

namespace vireo {
namespace {

// Every length from none to well past the inline widths: the bytes land where they belong, in order,
// and nothing before or after the copy is touched.
TEST(ShortCopy, CopiesExactlyTheBytesAskedFor) {
  const std::string source = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (std::size_t size = 0; size <= 40; ++size) {
    std::string target(size + 8, '.');
    char* end = copy_short(target.data() + 4, source.data() + 3, size);
    EXPECT_EQ(end, target.data() + 4 + size) << size;
    EXPECT_EQ(target, "...." + source.substr(3, size) + "....") << size;
  }
}

TEST(ShortCopy, AShortTextTakesTheNewTextWhateverItsLength) {
  struct Case {
    const char* before;
    const char* after;
  } cases[] = {{"pb", "pc"}, {"", "zs"}, {"c*", ""}, {"01", "11"}, {"xd", "0123456789abcdefghij"},
               {"0123456789abcdefghij", "ABCDEFGHIJKLMNOPQRST"}};
  for (const Case& c : cases) {
    std::string text = c.before;
    assign_short(text, c.after);
    EXPECT_EQ(text, c.after) << c.before;
  }
}

}  // namespace
}  // namespace vireo
