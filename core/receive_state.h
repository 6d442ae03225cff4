// What the serial receive handler keeps between events: the bytes of the frame (or of the monitor's
// capture) received so far and the time of the last receive event.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>

namespace vireo {

struct ReceiveState {
  static constexpr std::size_t kBufferSize = 2001;

  std::array<unsigned char, kBufferSize> rx_buffer{};
  // Bytes of the current frame or capture received so far: the next free index of rx_buffer. It stops
  // at kBufferSize; later bytes of a longer capture are dropped.
  std::size_t rx_count = 0;
  std::chrono::steady_clock::time_point last_rx_time{};
  // Set by the monitor while it captures the raw reply: bytes are only collected, never decoded.
  bool capture = false;
  // 32-bit frames thrown away because a value lay outside 0 to 2^31 - 1.
  long discarded_frames = 0;
  // Frames decoded into the position display; a caller waiting for a reply watches it grow.
  long decoded_frames = 0;
};

}  // namespace vireo
