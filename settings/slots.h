// The 200 slots of the settings record: their names, kinds and default texts. Slots are named as the
// setup dialog's controls; arrays (tools, pens, changer slots) take eight consecutive slots.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vireo {

inline constexpr int kSlotCount = 200;

// Slot numbers. An array is named by its first slot: element i of `xatc` is slot xatc + i.
enum class Slot : int {
  z_iniz_v = 0, z_fres_v = 1, vel_av = 2, vel_rap = 3, vel_mand = 4, s_periferica = 5, s_lingua = 6,
  Ena_pbpc = 7, indfresa = 8, indplc = 9, initstring = 10, incremento_progressivo = 11,
  xatc = 12, yatc = 20, zatc_up = 28, zatc_dw = 36,
  Check_ena_sensor = 44, Check_ena_tara = 45, maxv_modela = 46, z_roland = 47, scala_modela = 48,
  unita_modela = 49, gradi_dxf = 50, x_rol = 51, scala_dxf = 52, unita_dxf = 53, atc_excellon = 54,
  vel_rit = 55, Version = 56, scala_excellon = 57, unita_excellon = 58, set_in_use = 59,
  scala_gerber = 60, unita_gerber = 61, pen = 62, atc_hpgl = 70, vel_entrata = 71, scala_hpgl = 72,
  unita_hpgl = 73, opt_drl = 74, opt_gbr = 75, z_insu = 76, check_inseg = 77, check_includi = 78,
  check_ena_tc = 79, check_progressivo = 80, ritardo_dsr = 81, xsensor = 82, ysensor = 83,
  zsensor_max = 84, zsensor_offset = 85, fsensor = 86, check_enable_display = 87, colore_display = 88,
  f_tauto = 89, x_tmanual = 90, y_tmanual = 91, z_tmanual = 92, feed = 93, maxv_gc = 101, z_gc = 102,
  scala_gc = 103, unita_gc = 104, gradi_gc = 105, ena3d_gc = 106, x_gc = 107, y_gc = 108, molt_gc = 109,
  speed_com = 110, ch_virgola = 111, ij_mode = 112, ena_passate = 113, numero_passate = 114,
  incr_passate = 115, x_hp = 116, y_hp = 117, y_rol = 118, x_dxf = 119, y_dxf = 120, x_excellon = 121,
  y_excellon = 122, x_gerber = 123, y_gerber = 124, correzione_x = 125, correzione_y = 126,
  correzione_z = 127, ena_correzione_coord = 128, ute_pretarati = 129, descrizione1 = 130,
  zeroneg_rol = 138, zeroneg_gcode = 139, ziniz_hp = 140, zsuperf_hp = 141, Ena_tang_C = 142,
  Step_giro_C = 143, Feed_C = 144, Gradi_lama_C = 145, Step_giro_A = 146, Feed_A = 147,
  Step_giro_B = 148, Feed_B = 149, z_superf = 150, speed = 151, mem_offset_trovacentro = 159,
  immediate_command = 160,  // ten command lines of the immediate-command window
  immediate_hint = 170,     // their ten hints
  locazione_disponibile = 180, ena_pc_vertice = 181, memz_trovacent = 182, zinvert_gc = 183,
  Grafica3D = 184, display_corr_x = 185, display_corr_y = 186, display_corr_z = 187,
  display_corr_a = 188, display_corr_b = 189, display_corr_c = 190, correzione_a = 191,
  correzione_b = 192, correzione_c = 193, ena_correzione_display = 194, quote32bit = 195,
  Time_RUN = 196, Time_sportelli = 197,
  free_slot = 198,  // two slots the system does not use
};

constexpr int slot_index(Slot s, int element = 0) { return static_cast<int>(s) + element; }

enum class SlotKind {
  text,
  feed_code,     // "F" and two digits
  spindle_code,  // "S" and two digits
  integer,       // digits
  signed_integer,
  negative_integer,
  decimal,       // digits and "."
  check,         // "0" or "1"
  option,        // index of the selected option button
  choice,        // one of the listed texts
};

struct SlotInfo {
  std::string_view name;     // "" for the slots that have no name (160-179, 198, 199)
  int element;               // index inside its array, -1 for a single slot
  SlotKind kind;
  std::string_view fallback;  // default text, the value of a fresh setup file
  std::string_view choices;   // for choice slots: the allowed texts separated by "|"
};

const SlotInfo& slot_info(int index);

// The name a slot is shown under: "z_superf", "xatc[2]", or "slot" for the unnamed ones.
std::string slot_display_name(int index);

// Finds a slot by its name ("z_superf"), an array element ("xatc[2]", "pen[0]") or its number ("160").
std::optional<int> find_slot(std::string_view name);

}  // namespace vireo
