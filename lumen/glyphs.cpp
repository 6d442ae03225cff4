#include "lumen/glyphs.h"

#include <QPainter>
#include <QPolygonF>
#include <array>

namespace lumen {
namespace {

constexpr QRgb kColourSet[kColours] = {
    qRgb(0, 255, 0),    qRgb(255, 0, 0),     qRgb(255, 255, 0), qRgb(0, 0, 255),
    qRgb(0, 255, 255),  qRgb(255, 148, 9),   qRgb(255, 255, 255),
};

// Unlit segments keep this share of the lit colour.
constexpr double kDim = 0.16;

// Segments a (top), b (top right), c (bottom right), d (bottom), e (bottom left), f (top left),
// g (middle), as the bits 0 to 6 of a glyph's mask.
constexpr unsigned kMasks[kGlyphsPerColour] = {
    0b0111111, 0b0000110, 0b1011011, 0b1001111, 0b1100110, 0b1101101,
    0b1111101, 0b0000111, 0b1111111, 0b1101111, 0b1000000,
};

// A segment with pointed ends between two points on its middle line.
QPolygonF segment(QPointF from, QPointF to) {
  constexpr double h = 1.25;  // half its thickness
  if (from.y() == to.y())
    return QPolygonF({from, {from.x() + h, from.y() - h}, {to.x() - h, to.y() - h}, to, {to.x() - h, to.y() + h},
                      {from.x() + h, from.y() + h}});
  return QPolygonF({from, {from.x() + h, from.y() + h}, {to.x() + h, to.y() - h}, to, {to.x() - h, to.y() - h},
                    {from.x() - h, from.y() + h}});
}

QImage draw_glyph(int colour, int glyph) {
  const std::array<QPolygonF, 7> segments = {
      segment({3.5, 2}, {12.5, 2}),     segment({13.5, 2.8}, {13.5, 10}), segment({13.5, 11}, {13.5, 18.2}),
      segment({3.5, 19}, {12.5, 19}),   segment({2.5, 11}, {2.5, 18.2}),  segment({2.5, 2.8}, {2.5, 10}),
      segment({3.5, 10.5}, {12.5, 10.5}),
  };
  const QColor lit = QColor::fromRgb(kColourSet[colour]);
  const QColor dim = QColor::fromRgbF(static_cast<float>(lit.redF() * kDim), static_cast<float>(lit.greenF() * kDim),
                                      static_cast<float>(lit.blueF() * kDim));
  QImage picture(kGlyphWidth, kGlyphHeight, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  for (std::size_t s = 0; s < segments.size(); ++s) {
    painter.setBrush((kMasks[glyph] >> s & 1) ? lit : dim);
    painter.drawPolygon(segments[s]);
  }
  painter.end();
  return picture.convertToFormat(QImage::Format_RGB888);
}

}  // namespace

QRgb glyph_colour(int colour) { return colour >= 0 && colour < kColours ? kColourSet[colour] : qRgb(0, 0, 0); }

const QImage& glyph_picture(int index) {
  // Drawn once, the first time a glyph is asked for; never changed afterwards.
  static const std::array<QImage, kGlyphCount> pictures = [] {
    std::array<QImage, kGlyphCount> all;
    for (int i = 0; i < kGlyphCount; ++i)
      all[static_cast<std::size_t>(i)] = draw_glyph(i / kGlyphsPerColour, i % kGlyphsPerColour);
    return all;
  }();
  static const QImage none;
  return index >= 0 && index < kGlyphCount ? pictures[static_cast<std::size_t>(index)] : none;
}

}  // namespace lumen
