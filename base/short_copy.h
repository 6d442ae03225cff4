// Copies of a few bytes, the parts of a program line and the line itself, made inline. A library
// copy sorts every length into classes before it copies, and with the lengths of a line changing from
// one line to the next its branches guess wrong; inline, each place that copies learns its own
// lengths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vireo {

// Copies `size` bytes from `from` to `to`, which do not overlap; returns the end of the copy. Up to
// 16 bytes are moved as two fixed-width pieces that may overlap each other; more go to the library.
inline char* copy_short(char* to, const char* from, std::size_t size) {
  const auto pieces = [&]<typename Piece>(Piece) {
    Piece head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + size - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + size - sizeof tail, &tail, sizeof tail);
  };
  if (size > 16) {
    std::memcpy(to, from, size);
  } else if (size >= 8) {
    pieces(std::uint64_t{});
  } else if (size >= 4) {
    pieces(std::uint32_t{});
  } else if (size >= 2) {
    pieces(std::uint16_t{});
  } else if (size == 1) {
    *to = *from;
  }
  return to + size;
}

// Sets one of the short texts a run keeps changing (a pulse, a step token, the last D code). A text
// of the length it already has is written over in place rather than through a general assignment.
// `from` is not a part of `to`.
inline void assign_short(std::string& to, std::string_view from) {
  if (to.size() == from.size()) {
    copy_short(to.data(), from.data(), from.size());
  } else {
    to.assign(from);
  }
}

}  // namespace vireo
