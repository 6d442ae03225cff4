#include "app/string_table.h"

#include <gtest/gtest.h>

#include <set>

#include "app/string_ids.h"

namespace vireo {
namespace {

TEST(StringTable, HoldsTheItalianTextsTheirEnglishTwinsAndTheFontEntries) {
  const StringTable table = builtin_string_table();
  EXPECT_EQ(table.size(), 716u);  // 630, and the labels and hints of the setup dialog
  int italian = 0, english = 0;
  for (int id : table.ids()) {
    if (id == 20 || id == 21) continue;
    ASSERT_TRUE((id >= 1000 && id <= 1999) || (id >= 2000 && id <= 2999)) << id;
    if (id < 2000) {
      ++italian;
      EXPECT_NE(table.find(id + 1000), nullptr) << "no English twin of " << id;
    } else {
      ++english;
      EXPECT_NE(table.find(id - 1000), nullptr) << "English " << id << " has no Italian id";
    }
  }
  EXPECT_EQ(italian, 357);
  EXPECT_EQ(english, 357);
}

TEST(StringTable, SampleEntriesReadExactly) {
  const StringTable table = builtin_string_table();
  struct Row {
    int id;
    const char* text;
  };
  const Row rows[] = {
      {20, "FONT NAME"},
      {21, "FONT SIZE"},
      {1000, "&File"},
      {1004, "Sal&Va con nome..."},
      {1016, "&Setup"},
      {1033, "&Informazioni su "},
      {1034, "&Aggiornamento firmware"},
      {1042, "converti e invia alla CNC"},
      {1056, "vireo-italian"},
      {1068, "TrovaCentro"},
      {1069, "Monitor CNC"},
      {1070, "converti , salva su file .tpx e visualizza"},
      {1080, "numero operazione in esecuzione"},
      {1086, "tempo trascorso"},
      {1135, "considera questo file come file gerber (pcb)"},
      {1170, "Trova successivo"},
      {1174, "riga"},
      {1202, "Z iniziale"},
      {1218, "INVIA"},
      {1221, "Annulla"},
      {1303, "offset Z di fresatura (cent/mm)"},
      {1312, "lingua (riavviare VIREO)"},
      {2000, "&File"},
      {2005, "Conve&Rt e download to CNC"},
      {2023, "&Horrizontally tile"},
      {2032, "&Search argoment"},
      {2042, "convert e down&load to CNC"},
      {2054, "download to CNC an string"},
      {2056, "vireo-english"},
      {2084, "others communications"},
      {2135, "this file is  gerber type (pcb)"},
      {2202, "Moving Z"},
  };
  for (const Row& row : rows) {
    const std::string* text = table.find(row.id);
    ASSERT_NE(text, nullptr) << row.id;
    EXPECT_EQ(*text, row.text) << row.id;
  }
}

TEST(StringTable, AccentsArriveAsLatin1) {
  const StringTable table = builtin_string_table();
  // "velocità" in the setup dialog's labels: one byte 0xE0 for the accented letter.
  EXPECT_EQ(*table.find(1205), "Velocit\xE0");
  EXPECT_EQ(*table.find(1235), "unit\xE0");
}

TEST(StringTable, TheSeparatorIsALineOfDashes) {
  const StringTable table = builtin_string_table();
  const std::string* separator = table.find(sid::kSeparator);
  ASSERT_NE(separator, nullptr);
  EXPECT_GT(separator->size(), 10u);
  EXPECT_EQ(separator->find_first_not_of('-'), std::string::npos);
}

TEST(StringTable, ReadsTabSeparatedLinesKeepingBlanksAndSkipsMalformedOnes) {
  StringTable table;
  const int malformed = table.add_file(
      "# comment\n"
      "\n"
      "1033\t&Informazioni su \r\n"
      "1001 &Nuovo\n"         // no tab
      "x12\tbad id\n"
      "1002\t\n"              // an empty text is a text
      "1003\tp\xC3\xA0gina\n");  // UTF-8 in the file
  EXPECT_EQ(malformed, 2);
  EXPECT_EQ(table.size(), 3u);
  EXPECT_EQ(*table.find(1033), "&Informazioni su ");
  EXPECT_EQ(*table.find(1002), "");
  EXPECT_EQ(*table.find(1003), "p\xE0gina");
  EXPECT_EQ(table.find(1001), nullptr);
}

TEST(StringTable, LanguageOffset) {
  EXPECT_EQ(language_offset("English"), 1000);
  EXPECT_EQ(language_offset("Italian"), 0);
  EXPECT_EQ(language_offset("english"), 0);
  EXPECT_EQ(language_offset(""), 0);
}

TEST(StringTable, APropertyIsReplacedOnlyWhenItIsANumberWithAText) {
  const StringTable table = builtin_string_table();
  struct Row {
    const char* name;
    const char* current;
    int offset;
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {"label id, Italian", "1202", 0, "Z iniziale"},
      {"label id, English", "1202", 1000, "Moving Z"},
      {"blanks around the id", " 1303 ", 0, "offset Z di fresatura (cent/mm)"},
      {"ordinary text", "Manual TC", 0, std::nullopt},
      {"ordinary text with a number", "File setup in uso:", 0, std::nullopt},
      {"id without a text", "1499", 0, std::nullopt},
      {"English id asked in English", "2202", 1000, std::nullopt},
      {"negative", "-1202", 0, std::nullopt},
      {"decimal", "1202.5", 0, std::nullopt},
      {"empty", "", 0, std::nullopt},
      {"huge", "99999999999999999999", 0, std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(localised_text(table, row.offset, row.current), row.expected) << row.name;
}

TEST(StringTable, UiTextIsEmptyForAMissingId) {
  const StringTable table = builtin_string_table();
  EXPECT_EQ(ui_text(table, 1000, 1172), "Whole words");
  EXPECT_EQ(ui_text(table, 0, 1172), "Parole intere");
  EXPECT_EQ(ui_text(table, 0, 1500), "");
}

}  // namespace
}  // namespace vireo
