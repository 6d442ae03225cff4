#include "settings/slots.h"

#include <set>

#include <gtest/gtest.h>

#include "settings/settings_record.h"

namespace vireo {
namespace {

TEST(SlotTable, NamesAreUniqueAndArraysHoldEightElements) {
  std::set<std::string> names;
  for (int i = 0; i < kSlotCount; ++i) {
    const std::string name = slot_display_name(i);
    if (name == "slot") continue;
    EXPECT_TRUE(names.insert(name).second) << name << " appears twice";
  }
  for (Slot array : {Slot::xatc, Slot::yatc, Slot::zatc_up, Slot::zatc_dw, Slot::pen, Slot::feed,
                     Slot::descrizione1, Slot::speed}) {
    const std::string base(slot_info(slot_index(array)).name);
    for (int e = 0; e < 8; ++e) EXPECT_EQ(slot_display_name(slot_index(array, e)), base + "[" + std::to_string(e) + "]");
  }
}

TEST(SlotTable, EnumAgreesWithTheNames) {
  // Every named single slot of the enum must carry the table's name at that number.
  struct Case {
    Slot slot;
    const char* name;
  } cases[] = {
      {Slot::z_iniz_v, "z_iniz_v"},       {Slot::Version, "Version"},       {Slot::set_in_use, "set_in_use"},
      {Slot::opt_gbr, "opt_gbr"},         {Slot::ritardo_dsr, "ritardo_dsr"}, {Slot::speed_com, "speed_com"},
      {Slot::z_superf, "z_superf"},       {Slot::Grafica3D, "Grafica3D"},   {Slot::Time_sportelli, "Time_sportelli"},
      {Slot::mem_offset_trovacentro, "mem_offset_trovacentro"},           {Slot::locazione_disponibile, "locazione_disponibile"},
      {Slot::correzione_c, "correzione_c"}, {Slot::ena_correzione_display, "ena_correzione_display"},
  };
  for (const Case& c : cases) EXPECT_EQ(slot_display_name(slot_index(c.slot)), c.name);
  for (int i : {160, 169, 170, 179, 198, 199}) EXPECT_EQ(slot_display_name(i), "slot") << i;
}

TEST(SlotTable, FindsSlotsByNameElementAndNumber) {
  struct Case {
    const char* name;
    std::optional<int> slot;
  } cases[] = {
      {"z_superf", 150}, {"xatc[2]", 14},   {"pen[0]", 62},     {"descrizione1[3]", 133}, {"160", 160},
      {"0", 0},          {"199", 199},      {"200", {}},        {"-1", {}},               {"xatc", {}},
      {"xatc[8]", {}},   {"nonsense", {}},  {"z_superf[0]", {}}, {"xatc[]", {}},           {"", {}},
      {"slot", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(find_slot(c.name), c.slot) << c.name;
}

TEST(SlotTable, DefaultsOfAFreshSetup) {
  const SettingsRecord record;
  EXPECT_EQ(record.text(Slot::s_periferica), "dummy");
  EXPECT_EQ(record.text(Slot::descrizione1, 3), "Punta FORI 3mm       FIDUCIALS");
  EXPECT_EQ(record.text(Slot::pen, 4), "-11");
  EXPECT_EQ(record.text(Slot::yatc, 4), "52000");
  EXPECT_EQ(record.text(Slot::immediate_command, 1), "F10RX08600* rx");
  EXPECT_EQ(record.text(Slot::free_slot, 1), "1");
  EXPECT_EQ(record.text(Slot::Gradi_lama_C), "0.50");
}

}  // namespace
}  // namespace vireo
