// A generated Gerber board of realistic blocks for the conversion benchmarks: parameter blocks,
// comments, aperture selections, draws, moves and flashes in the 2.4 inch format.
#pragma once

#include <algorithm>
#include <string>

namespace vireo::bench {

// A board of tracks and pads in the 2.4 inch format, as CAD programs write it.
inline std::string generate_board(std::size_t bytes) {
  std::string text =
      "G04 generated benchmark board*\r\n%FSLAX24Y24*%\r\n%MOIN*%\r\n%IPPOS*%\r\n"
      "%ADD10C,0.0100*%\r\n%ADD11R,0.0600X0.0600*%\r\n%ADD12C,0.0700*%\r\n%ADD13O,0.0500X0.0900*%\r\n"
      "%LPD*%\r\nG01*\r\nG70*\r\nG90*\r\n";
  text.reserve(bytes + 4096);
  unsigned state = 20261207;
  const auto next = [&](unsigned range) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % range;
  };
  int x = 10000, y = 10000;
  const auto coordinate = [&](int& v, char axis) {
    v = std::max(0, std::min(99999, v + static_cast<int>(next(2001)) - 1000));
    text += axis;
    text += std::to_string(v);
  };
  while (text.size() < bytes) {
    switch (next(10)) {
      case 0:  // a pad row
        text += "G54D1" + std::to_string(1 + next(3)) + "*\r\n";
        for (int i = next(8) + 2; i > 0; --i) {
          coordinate(x, 'X');
          coordinate(y, 'Y');
          text += "D03*\r\n";
        }
        break;
      case 1:  // a comment or a polarity block
        text += next(2) ? "G04 net GND*\r\n" : "%LPD*%\r\n";
        break;
      default:  // a track: move, then a run of draws
        text += "G54D10*\r\n";
        coordinate(x, 'X');
        coordinate(y, 'Y');
        text += "D02*\r\n";
        for (int i = next(12) + 3; i > 0; --i) {
          if (next(3)) coordinate(x, 'X');
          if (next(3)) coordinate(y, 'Y');
          text += "D01*\r\n";
        }
    }
  }
  text += "M02*\r\n";
  return text;
}

}  // namespace vireo::bench
