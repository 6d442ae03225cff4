#include "settings/slots.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <stdexcept>

namespace vireo {
namespace {

using K = SlotKind;

constexpr std::string_view kUnit = "mm|inch";
constexpr std::string_view kMux = "nu|O0|O1|O2|O3|O4|O5|O6|O7";
constexpr std::string_view kDevices =
    "com1|com2|com3|com4|com5|com6|com7|com8|com9|com10|com11|com12|com13|com14|com15|com16|com17|"
    "com18|com19|com20|com21|com22|com23|com24|isa300|isa310|dummy";
constexpr std::string_view kEmptyHint = "press <ctrl><c>per inserire un commento";

struct Table {
  std::array<SlotInfo, kSlotCount> slots{};
  int next = 0;

  void add(std::string_view name, K kind, std::string_view fallback, std::string_view choices = {}) {
    slots.at(next++) = SlotInfo{name, -1, kind, fallback, choices};
  }
  void add_array(std::string_view name, K kind, std::array<std::string_view, 8> fallbacks) {
    for (int i = 0; i < 8; ++i) slots.at(next++) = SlotInfo{name, i, kind, fallbacks[i], {}};
  }
  void add_unnamed(std::string_view fallback) { slots.at(next++) = SlotInfo{{}, -1, K::text, fallback, {}}; }
};

Table build_table() {
  Table t;
  t.add("z_iniz_v", K::negative_integer, "-200");
  t.add("z_fres_v", K::signed_integer, "100");
  t.add("vel_av", K::feed_code, "F04");
  t.add("vel_rap", K::feed_code, "F45");
  t.add("vel_mand", K::spindle_code, "S12");
  t.add("s_periferica", K::choice, "dummy", kDevices);
  t.add("s_lingua", K::choice, "Italian", "Italian|English");
  t.add("Ena_pbpc", K::check, "1");
  t.add("indfresa", K::choice, "nu", kMux);
  t.add("indplc", K::choice, "nu", kMux);
  t.add("initstring", K::text,
        "lx50000ly54000lz08100mx00200my00200mz00200nx00070ny00000nz00025px04py04pz04ps10pp20pw10pf45pl01");
  t.add("incremento_progressivo", K::integer, "100");
  t.add_array("xatc", K::integer, {"44000", "46000", "48000", "50000", "43000", "45000", "47000", "49000"});
  t.add_array("yatc", K::integer, {"50000", "50000", "50000", "50000", "52000", "52000", "52000", "52000"});
  t.add_array("zatc_up", K::integer, {"3000", "3000", "3000", "3000", "3000", "3000", "3000", "3000"});
  t.add_array("zatc_dw", K::integer, {"5000", "5000", "5000", "5000", "5000", "5000", "5000", "5000"});
  t.add("Check_ena_sensor", K::check, "0");
  t.add("Check_ena_tara", K::check, "0");
  t.add("maxv_modela", K::feed_code, "F10", "F02|F05|F10|F15|F30");
  t.add("z_roland", K::signed_integer, "500");
  t.add("scala_modela", K::decimal, "1");
  t.add("unita_modela", K::choice, "mm", kUnit);
  t.add("gradi_dxf", K::decimal, "5", "1|2|5|10|30");
  t.add("x_rol", K::signed_integer, "0");
  t.add("scala_dxf", K::decimal, "1");
  t.add("unita_dxf", K::choice, "mm", kUnit);
  t.add("atc_excellon", K::choice, "TC", "single|TC");
  t.add("vel_rit", K::feed_code, "F45");
  t.add("Version", K::choice, "5", "5|6");
  t.add("scala_excellon", K::decimal, "1");
  t.add("unita_excellon", K::choice, "mm", kUnit);
  t.add("set_in_use", K::text, "vireo.stu");
  t.add("scala_gerber", K::decimal, "1");
  t.add("unita_gerber", K::choice, "mm", kUnit);
  t.add_array("pen", K::signed_integer, {"200", "225", "250", "600", "-11", "170", "16", "16"});
  t.add("atc_hpgl", K::choice, "TC+prof_var", "prof_var|TC|TC+prof_var");
  t.add("vel_entrata", K::integer, "50");
  t.add("scala_hpgl", K::decimal, "1");
  t.add("unita_hpgl", K::choice, "mm", kUnit);
  t.add("opt_drl", K::option, "1");
  t.add("opt_gbr", K::option, "1");
  t.add("z_insu", K::integer, "0");
  t.add("check_inseg", K::check, "0");
  t.add("check_includi", K::check, "0");
  t.add("check_ena_tc", K::check, "0");
  t.add("check_progressivo", K::check, "0");
  t.add("ritardo_dsr", K::integer, "100");
  t.add("xsensor", K::integer, "43600");
  t.add("ysensor", K::integer, "49640");
  t.add("zsensor_max", K::integer, "5000");
  t.add("zsensor_offset", K::integer, "1000");
  t.add("fsensor", K::feed_code, "F08");
  t.add("check_enable_display", K::check, "1");
  t.add("colore_display", K::choice, "cyan", "green|red|yellow|cyan|orange|white|bleu");
  t.add("f_tauto", K::check, "0");
  t.add("x_tmanual", K::integer, "49999");
  t.add("y_tmanual", K::integer, "39999");
  t.add("z_tmanual", K::integer, "0");
  t.add_array("feed", K::feed_code, {"F04", "F03", "F02", "F02", "F02", "F02", "F08", "F08"});
  t.add("maxv_gc", K::feed_code, "F45", "F02|F05|F10|F15|F30|F45|F60|F75|F90");
  t.add("z_gc", K::signed_integer, "500");
  t.add("scala_gc", K::decimal, "1");
  t.add("unita_gc", K::choice, "mm", kUnit);
  t.add("gradi_gc", K::decimal, "5", "1|2|5|10|30");
  t.add("ena3d_gc", K::check, "0");
  t.add("x_gc", K::signed_integer, "0");
  t.add("y_gc", K::signed_integer, "0");
  t.add("molt_gc", K::decimal, "20");
  t.add("speed_com", K::choice, "38400", "38400|115200");
  t.add("ch_virgola", K::check, "0");
  t.add("ij_mode", K::check, "0");
  t.add("ena_passate", K::check, "0");
  t.add("numero_passate", K::integer, "5");
  t.add("incr_passate", K::integer, "100");
  t.add("x_hp", K::signed_integer, "0");
  t.add("y_hp", K::signed_integer, "0");
  t.add("y_rol", K::signed_integer, "0");
  t.add("x_dxf", K::signed_integer, "0");
  t.add("y_dxf", K::signed_integer, "0");
  t.add("x_excellon", K::signed_integer, "0");
  t.add("y_excellon", K::signed_integer, "0");
  t.add("x_gerber", K::signed_integer, "0");
  t.add("y_gerber", K::signed_integer, "0");
  t.add("correzione_x", K::decimal, "1");
  t.add("correzione_y", K::decimal, "1");
  t.add("correzione_z", K::decimal, "1");
  t.add("ena_correzione_coord", K::check, "1");
  t.add("ute_pretarati", K::check, "0");
  t.add_array("descrizione1", K::text,
              {"Punta       FORI PICCOLI", "Punta       FORI MEDI", "Punta       FORI GRANDI",
               "Punta FORI 3mm       FIDUCIALS", "non usata", "Fresa 2mm contorno     MILLING",
               "Fresa 1mm pulizia rame RUBOUT", "Bulino 0.25mm              ISOLATE"});
  t.add("zeroneg_rol", K::check, "0");
  t.add("zeroneg_gcode", K::check, "0");
  t.add("ziniz_hp", K::negative_integer, "-700");
  t.add("zsuperf_hp", K::integer, "2780");
  t.add("Ena_tang_C", K::check, "0");
  t.add("Step_giro_C", K::integer, "2800");
  t.add("Feed_C", K::integer, "32000");
  t.add("Gradi_lama_C", K::decimal, "0.50");
  t.add("Step_giro_A", K::integer, "2800");
  t.add("Feed_A", K::integer, "1000");
  t.add("Step_giro_B", K::integer, "2800");
  t.add("Feed_B", K::integer, "1000");
  t.add("z_superf", K::integer, "1000");
  t.add_array("speed", K::spindle_code, {"S12", "S10", "S08", "S12", "S08", "S12", "S12", "S12"});
  t.add("mem_offset_trovacentro", K::integer, "100");
  // The immediate-command window's lines and their hints, as the window first shows them.
  for (std::string_view line : std::initializer_list<std::string_view>{"F45RX04800*RY30000*F10", "F10RX08600* rx", "", "RX35000*Y17485*Z08000*",
                                "", "", "", "", "", ""})
    t.add_unnamed(line);
  for (std::string_view hint : std::initializer_list<std::string_view>{"azzerramento asse Y tornio RY32052", "azzerramento asse X tornio", kEmptyHint,
                                "portati alla posizione del bareno", kEmptyHint, kEmptyHint, kEmptyHint,
                                kEmptyHint, kEmptyHint, kEmptyHint})
    t.add_unnamed(hint);
  t.add("locazione_disponibile", K::text, "FIDUCIAL");
  t.add("ena_pc_vertice", K::check, "1");
  t.add("memz_trovacent", K::integer, "1000");
  t.add("zinvert_gc", K::check, "0");
  t.add("Grafica3D", K::check, "0");
  t.add("display_corr_x", K::decimal, "1");
  t.add("display_corr_y", K::decimal, "1");
  t.add("display_corr_z", K::decimal, "1");
  t.add("display_corr_a", K::decimal, "1");
  t.add("display_corr_b", K::decimal, "1");
  t.add("display_corr_c", K::decimal, "1");
  t.add("correzione_a", K::decimal, "1");
  t.add("correzione_b", K::decimal, "1");
  t.add("correzione_c", K::decimal, "1");
  t.add("ena_correzione_display", K::check, "1");
  t.add("quote32bit", K::check, "1");
  t.add("Time_RUN", K::integer, "3000");
  t.add("Time_sportelli", K::integer, "250");
  t.add_unnamed("0");
  t.add_unnamed("1");
  if (t.next != kSlotCount) throw std::logic_error("the slot table does not hold 200 slots");
  return t;
}

const Table& table() {
  static const Table t = build_table();
  return t;
}

}  // namespace

const SlotInfo& slot_info(int index) { return table().slots.at(index); }

std::string slot_display_name(int index) {
  const SlotInfo& info = slot_info(index);
  if (info.name.empty()) return "slot";
  std::string name(info.name);
  if (info.element >= 0) name += "[" + std::to_string(info.element) + "]";
  return name;
}

std::optional<int> find_slot(std::string_view name) {
  int number = 0;
  auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), number);
  if (ec == std::errc{} && end == name.data() + name.size())
    return number >= 0 && number < kSlotCount ? std::optional<int>(number) : std::nullopt;

  std::string_view base = name;
  int element = -1;
  if (auto open = name.find('['); open != std::string_view::npos) {
    if (name.back() != ']') return std::nullopt;
    std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    auto [e, err] = std::from_chars(digits.data(), digits.data() + digits.size(), element);
    if (err != std::errc{} || e != digits.data() + digits.size() || digits.empty()) return std::nullopt;
    base = name.substr(0, open);
  }
  if (base.empty()) return std::nullopt;
  for (int i = 0; i < kSlotCount; ++i) {
    const SlotInfo& info = slot_info(i);
    if (info.name == base && info.element == element) return i;
  }
  return std::nullopt;
}

}  // namespace vireo
