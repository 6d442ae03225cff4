#include "lumen/aff.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "lumen/glyphs.h"

namespace lumen {
namespace {

constexpr int kNoGlyph = -1;  // a position built while the colour selected no glyph

bool glyph_exists(int index) { return index >= 0 && index < kGlyphCount; }

// The number as Afficher shows it: rounded down and held inside the 32-bit range (NaN is 0).
std::int64_t shown_value(double number) {
  if (std::isnan(number)) return 0;
  constexpr double kLow = std::numeric_limits<std::int32_t>::min(), kHigh = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int64_t>(std::clamp(std::floor(number), kLow, kHigh));
}

// At least ten digits, zero-padded; a negative number keeps its minus sign in front of them.
std::string ten_digits(std::int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < 10) digits.insert(0, 10 - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

}  // namespace

aff::aff(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  Initialize();
}

void aff::Initialize() {
  if (nb_digit_ > 0 && positions_.size() < static_cast<std::size_t>(nb_digit_))
    positions_.resize(static_cast<std::size_t>(nb_digit_), kNoGlyph);
  const int zero = couleur_ * kGlyphsPerColour;
  if (glyph_exists(zero) && couleur_ < kColours)
    for (int i = 0; i < nb_digit_; ++i) positions_[static_cast<std::size_t>(i)] = zero;
  fit_size();
  update();
}

std::vector<int> aff::glyphs() const {
  const auto shown = std::min(static_cast<std::size_t>(std::max(nb_digit_, 0)), positions_.size());
  return {positions_.begin(), positions_.begin() + static_cast<std::ptrdiff_t>(shown)};
}

void aff::fit_size() { setFixedSize(std::max(nb_digit_, 0) * kGlyphWidth, kGlyphHeight); }

QSize aff::sizeHint() const { return {std::max(nb_digit_, 0) * kGlyphWidth, kGlyphHeight}; }

void aff::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (size() != sizeHint()) fit_size();
}

bool aff::Afficher(double number) {
  const std::int64_t value = shown_value(number);
  const std::string text = ten_digits(value);
  const auto set_glyph = [&](int position, int glyph) {
    const int index = couleur_ * kGlyphsPerColour + glyph;
    if (couleur_ < 0 || couleur_ >= kColours || position >= static_cast<int>(positions_.size())) return false;
    positions_[static_cast<std::size_t>(position)] = index;
    return true;
  };
  bool shown = true;
  for (int i = 0; i < nb_digit_ && shown; ++i) {
    // Position i shows the i-th of the last Nb_Digit characters.
    const std::size_t take = std::min(static_cast<std::size_t>(nb_digit_ - i), text.size());
    const char c = text[text.size() - take];
    shown = set_glyph(i, c >= '0' && c <= '9' ? c - '0' : 0);
  }
  if (shown && value < 0) shown = set_glyph(0, kMinusGlyph);
  update();
  return shown;
}

int aff::couleur() {
  Initialize();
  return couleur_;
}

void aff::set_couleur(int value) {
  couleur_ = std::clamp(value, -32768, 32767);  // a 16-bit property
  emit property_changed(QStringLiteral("Couleur"));
}

int aff::Nb_Digit() {
  if (nb_digit_ < 1 || nb_digit_ > kMaxNbDigit) nb_digit_ = kDefaultNbDigit;
  Initialize();
  return nb_digit_;
}

void aff::set_Nb_Digit(int value) {
  nb_digit_ = std::clamp(value, -32768, 32767);  // a 16-bit property
  emit property_changed(QStringLiteral("Nb_Digit"));
}

void aff::InitProperties() { nb_digit_ = kDefaultNbDigit; }

void aff::ReadProperties(const QVariantMap& bag) {
  couleur_ = std::clamp(bag.value(QStringLiteral("Couleur"), kDefaultCouleur).toInt(), -32768, 32767);
  const int count = bag.value(QStringLiteral("Nb_Digit"), kDefaultNbDigit).toInt();
  nb_digit_ = count >= 1 && count <= kMaxNbDigit ? count : kDefaultNbDigit;
  Initialize();
}

void aff::WriteProperties(QVariantMap& bag) const {
  const auto store = [&](const QString& name, int value, int fallback) {
    if (value == fallback) {
      bag.remove(name);
    } else {
      bag.insert(name, value);
    }
  };
  store(QStringLiteral("Couleur"), couleur_, kDefaultCouleur);
  store(QStringLiteral("Nb_Digit"), nb_digit_, kDefaultNbDigit);
}

void aff::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  int left = 0;
  for (int glyph : glyphs()) {
    const QImage& picture = glyph_picture(glyph);
    if (!picture.isNull()) painter.drawImage(left, 0, picture);
    left += kGlyphWidth;
  }
}

}  // namespace lumen
