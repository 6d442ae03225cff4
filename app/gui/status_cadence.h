// The status-bar texts and position-display digits a run hands over for every line it delivers, shown
// at a cadence: only the latest text of each panel and the latest value of each digit are kept, and
// they go up at most every 15 ms, when the event loop runs. A board of millions of lines then rewrites
// the labels a few dozen times a second instead of millions of times.
#pragma once

#include <QTimer>
#include <array>
#include <bitset>
#include <functional>
#include <string>
#include <string_view>

class QString;

namespace vireo {

class StatusCadence {
 public:
  using ShowPanel = std::function<void(int panel, const QString& text)>;
  using ShowDigit = std::function<void(int digit, double value)>;
  StatusCadence(ShowPanel show_panel, ShowDigit show_digit);

  // Keeps the text of panel 1 to 7 (Latin-1) or the value of digit 1 to 8 until the next showing.
  void keep_panel(int panel, std::string_view text);
  void keep_digit(int digit, double value);
  // A text written straight onto a panel is newer than the one kept for it, which is dropped.
  void drop_panel(int panel);
  // Shows the kept value of one digit now (before its colour changes, which applies from the next
  // value on).
  void show_digit_now(int digit);
  // Shows everything kept, now.
  void show_all();

 private:
  void arm();

  ShowPanel show_panel_;
  ShowDigit show_digit_;
  QTimer timer_;
  std::array<std::string, 8> texts_;  // panels 1 to 7
  std::bitset<8> texts_kept_;
  std::array<double, 9> digits_{};    // digits 1 to 8
  std::bitset<9> digits_kept_;
};

}  // namespace vireo
