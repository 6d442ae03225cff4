#include "core/conversion_state.h"

#include <ostream>

namespace vireo {

std::ostream& operator<<(std::ostream& out, const GeometryRegisters& geometry) {
  return out << "{start=" << geometry.start_x << "," << geometry.start_y << " end=" << geometry.end_x << ","
             << geometry.end_y << " centre=" << geometry.centre_x << "," << geometry.centre_y
             << " radius=" << geometry.radius << " angles=" << geometry.start_angle << ".." << geometry.end_angle
             << " step=" << geometry.arc_step << " last_x=" << geometry.last_x << " last_y=" << geometry.last_y
             << " c_angle=" << geometry.c_angle << " last_c_angle=" << geometry.last_c_angle << "}";
}

std::ostream& operator<<(std::ostream& out, const ReaderCursor& cursor) {
  return out << "{read_cursor=" << cursor.read_cursor << " text_length=" << cursor.text_length << "}";
}

std::ostream& operator<<(std::ostream& out, const PassState& passes) {
  return out << "{pass_counter=" << passes.pass_counter << " abort=" << passes.abort << "}";
}

std::ostream& operator<<(std::ostream& out, const RunLines& lines) {
  return out << "{travel_z=\"" << lines.travel_z_line << "\" cutting_z=\"" << lines.cutting_z_line
             << "\" saved_cutting_z=\"" << lines.saved_cutting_z_line << "\" feed=\"" << lines.feed_setting
             << "\" plunge_feed=\"" << lines.plunge_feed_line << "\"}";
}

std::ostream& operator<<(std::ostream& out, const GerberModal& gerber) {
  return out << "{last_d=\"" << gerber.last_d << "\"}";
}

}  // namespace vireo
