#include "app/document_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vireo {
namespace {

TEST(DocumentFile, PlainTextKeepsItsLineEndsThroughARoundTrip) {
  struct Row {
    const char* name;
    std::string content;
    std::string text;
    std::string line_end;
  };
  const Row rows[] = {
      {"CR LF", "G00\r\nG01\r\n", "G00\nG01\n", "\r\n"},
      {"LF", "G00\nG01", "G00\nG01", "\n"},
      {"CR", "G00\rG01\r", "G00\nG01\n", "\r"},
      {"no line end", "G00", "G00", "\r\n"},
      {"Latin-1 byte", "p\xE0gina\n", "p\xE0gina\n", "\n"},
  };
  test::TempDir dir;
  for (const Row& row : rows) {
    const std::string path = dir.write("in.txt", row.content);
    const DocumentRead read = read_document(path);
    ASSERT_TRUE(read.ok) << row.name;
    EXPECT_FALSE(read.document.rich) << row.name;
    EXPECT_EQ(read.document.text, row.text) << row.name;
    EXPECT_EQ(read.document.line_end, row.line_end) << row.name;
    ASSERT_EQ(write_document(dir.file("out.txt"), read.document.text, read.document.line_end), "") << row.name;
    if (row.content.find_first_of("\r\n") != std::string::npos) {
      EXPECT_EQ(dir.read("out.txt"), row.content) << row.name;
    }
  }
}

TEST(DocumentFile, RichTextGivesItsTextAndColours) {
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Courier New;}}\r\n"
      "{\\colortbl ;\\red255\\green43\\blue1;\\red0\\green105\\blue230;}\r\n"
      "\\viewkind4\\pard\\f0\\fs20 X00100\\cf1 F04\\cf0 Y\\'e0\\par\r\n"
      "{\\*\\generator Riched20;}\\cf2 S12\\cf0\\tab \\{x\\}\\par\r\n}";
  const DocumentText doc = parse_rich_text(rtf);
  EXPECT_TRUE(doc.rich);
  EXPECT_EQ(doc.text, "X00100F04Y\xE0\nS12\t{x}\n");
  ASSERT_EQ(doc.colours.size(), 2u);
  EXPECT_EQ(doc.colours[0], (ColourRun{6, 3, {255, 43, 1}}));
  EXPECT_EQ(doc.colours[1], (ColourRun{12, 3, {0, 105, 230}}));
  EXPECT_TRUE(is_rich_text(rtf));
  EXPECT_FALSE(is_rich_text("G00 X1"));
  EXPECT_TRUE(document_from_content(rtf).rich);
}

TEST(DocumentFile, BrokenRichTextEndsWithoutLosingWhatWasRead) {
  // A file cut short inside a group, a colour index beyond the table, a lone backslash at the end.
  const DocumentText doc = parse_rich_text("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\cf7 abc\\par{def\\");
  EXPECT_EQ(doc.text, "abc\ndef");
  EXPECT_TRUE(doc.colours.empty());
}

TEST(DocumentFile, AMissingFileIsReportedWithItsErrorNumber) {
  test::TempDir dir;
  const DocumentRead read = read_document(dir.file("nothing.nc"));
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.error, "Errore 53\rFile not found");
}

TEST(DocumentFile, AFileThatCannotBeWrittenIsReported) {
  test::TempDir dir;
  const std::string error = write_document(dir.path() / "no" / "such" / "dir.txt", "x", "\r\n");
  EXPECT_EQ(error.rfind("Errore 75\r", 0), 0u) << error;
}

}  // namespace
}  // namespace vireo
