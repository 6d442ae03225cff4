#include "app/gui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vireo {
namespace {

constexpr int kSize = 24;

class Canvas {
 public:
  Canvas() : pixmap_(kSize, kSize) {
    pixmap_.fill(Qt::transparent);
    painter_.begin(&pixmap_);
    painter_.setRenderHint(QPainter::Antialiasing);
  }
  QPainter& p() { return painter_; }
  QIcon icon() {
    painter_.end();
    return QIcon(pixmap_);
  }

  void page(QColor fill = Qt::white) {
    painter_.setPen(QPen(QColor(60, 60, 60), 1.2));
    painter_.setBrush(fill);
    QPainterPath path;
    path.moveTo(5, 2.5);
    path.lineTo(15, 2.5);
    path.lineTo(20, 7.5);
    path.lineTo(20, 21.5);
    path.lineTo(5, 21.5);
    path.closeSubpath();
    painter_.drawPath(path);
    painter_.drawLine(QPointF(15, 2.5), QPointF(15, 7.5));
    painter_.drawLine(QPointF(15, 7.5), QPointF(20, 7.5));
  }
  void lines(int from, int to, QColor colour = QColor(120, 120, 120)) {
    painter_.setPen(QPen(colour, 1.2));
    for (int y = from; y <= to; y += 3) painter_.drawLine(8, y, 17, y);
  }
  void text(const QString& t, QRectF where, QColor colour, int pixel_size, bool bold = true) {
    QFont font = painter_.font();
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    painter_.setFont(font);
    painter_.setPen(colour);
    painter_.drawText(where, Qt::AlignCenter, t);
  }
  void arrow_right(QColor colour, QPointF at) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(colour);
    QPainterPath path;
    path.moveTo(at + QPointF(0, -5));
    path.lineTo(at + QPointF(7, 0));
    path.lineTo(at + QPointF(0, 5));
    path.closeSubpath();
    painter_.drawPath(path);
    painter_.setPen(QPen(colour, 2.5));
    painter_.drawLine(at + QPointF(-7, 0), at);
  }

 private:
  QPixmap pixmap_;
  QPainter painter_;
};

const QColor kGreen(137, 205, 0), kBlue(0, 105, 230), kRed(255, 43, 1), kOrange(255, 150, 40), kDark(50, 50, 50);

void folder(Canvas& c) {
  QPainter& p = c.p();
  p.setPen(QPen(QColor(150, 110, 20), 1.2));
  p.setBrush(QColor(250, 205, 90));
  p.drawRect(QRectF(2.5, 6.5, 19, 14));
  p.drawRect(QRectF(2.5, 4.5, 8, 3));
  p.setBrush(QColor(255, 225, 130));
  QPainterPath front;
  front.moveTo(5, 10.5);
  front.lineTo(23, 10.5);
  front.lineTo(20.5, 20.5);
  front.lineTo(2.5, 20.5);
  front.closeSubpath();
  p.drawPath(front);
}

}  // namespace

QIcon toolbar_icon(const QString& key) {
  Canvas c;
  QPainter& p = c.p();
  if (key == QLatin1String("New")) {
    c.page();
    p.setPen(QPen(kOrange, 2));
    p.drawLine(17, 14, 17, 22);
    p.drawLine(13, 18, 21, 18);
  } else if (key == QLatin1String("Open")) {
    folder(c);
  } else if (key == QLatin1String("ute")) {
    folder(c);
    c.text(QStringLiteral("+"), QRectF(8, 9, 14, 12), kBlue, 13);
  } else if (key == QLatin1String("Save")) {
    p.setPen(QPen(QColor(30, 50, 110), 1.2));
    p.setBrush(QColor(70, 110, 200));
    p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3.5, 10, 7));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(7, 14, 10, 6.5));
  } else if (key == QLatin1String("cut")) {
    p.setPen(QPen(kDark, 1.6));
    p.drawLine(QPointF(8, 3), QPointF(15, 15));
    p.drawLine(QPointF(16, 3), QPointF(9, 15));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(7.5, 18), 3.5, 3.5);
    p.drawEllipse(QPointF(16.5, 18), 3.5, 3.5);
  } else if (key == QLatin1String("Copy")) {
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 2.5, 11, 14));
    p.drawRect(QRectF(9.5, 7.5, 11, 14));
    c.lines(11, 19);
  } else if (key == QLatin1String("Paste")) {
    p.setPen(QPen(QColor(120, 80, 30), 1.2));
    p.setBrush(QColor(205, 160, 90));
    p.drawRoundedRect(QRectF(3.5, 4.5, 14, 17), 2, 2);
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(7.5, 2.5, 6, 4));
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(11.5, 10.5, 10, 11));
  } else if (key == QLatin1String("find")) {
    p.setPen(QPen(kDark, 2));
    p.setBrush(QColor(210, 235, 255));
    p.drawEllipse(QPointF(10, 10), 6, 6);
    p.setPen(QPen(kDark, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
  } else if (key == QLatin1String("converti_file")) {
    c.page(QColor(255, 255, 235));
    c.text(QStringLiteral("tpx"), QRectF(4, 9, 17, 10), kRed, 8);
    c.arrow_right(kGreen, QPointF(13, 19));
  } else if (key == QLatin1String("graph")) {
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 3.5, 19, 17));
    p.setPen(QPen(kBlue, 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(5, 17);
    path.lineTo(9, 8);
    path.lineTo(13, 15);
    path.cubicTo(15, 6, 18, 6, 19, 10);
    p.drawPath(path);
    p.setPen(QPen(kRed, 1.4));
    p.drawEllipse(QPointF(5, 17), 1.5, 1.5);
  } else if (key == QLatin1String("converti_rtf")) {
    c.page();
    p.setPen(QPen(kRed, 2));
    p.drawLine(8, 8, 12, 8);
    p.setPen(QPen(kGreen, 2));
    p.drawLine(13, 8, 17, 8);
    p.setPen(QPen(kBlue, 2));
    p.drawLine(8, 12, 14, 12);
    p.setPen(QPen(kGreen, 2));
    p.drawLine(8, 16, 17, 16);
  } else if (key == QLatin1String("converti_fresa")) {
    // A spindle with its cutter over the work.
    p.setPen(QPen(kDark, 1.2));
    p.setBrush(QColor(170, 170, 180));
    p.drawRect(QRectF(8.5, 2.5, 7, 8));
    p.setBrush(QColor(230, 190, 60));
    p.drawRect(QRectF(10.5, 10.5, 3, 6));
    p.setPen(QPen(kDark, 1.2));
    p.setBrush(QColor(137, 205, 0));
    p.drawRect(QRectF(2.5, 17.5, 19, 4));
    c.arrow_right(kRed, QPointF(20, 8));
  } else if (key == QLatin1String("setup")) {
    p.setPen(QPen(kDark, 1.2));
    p.setBrush(QColor(160, 160, 170));
    p.save();
    p.translate(12, 12);
    for (int i = 0; i < 8; ++i) {
      p.drawRect(QRectF(-1.8, -10.5, 3.6, 5));
      p.rotate(45);
    }
    p.restore();
    p.drawEllipse(QPointF(12, 12), 7, 7);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(12, 12), 2.8, 2.8);
  } else if (key == QLatin1String("immediato")) {
    p.setPen(QPen(kDark, 1.2));
    p.setBrush(QColor(20, 30, 40));
    p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 2, 2);
    c.text(QStringLiteral(">_"), QRectF(3, 5, 18, 14), kGreen, 10);
  } else if (key == QLatin1String("frecce")) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    const QPointF centre(12, 12);
    for (int i = 0; i < 4; ++i) {
      p.save();
      p.translate(centre);
      p.rotate(90 * i);
      QPainterPath arrow;
      arrow.moveTo(0, -10.5);
      arrow.lineTo(5, -5);
      arrow.lineTo(-5, -5);
      arrow.closeSubpath();
      p.drawPath(arrow);
      p.restore();
    }
    p.setBrush(kDark);
    p.drawEllipse(centre, 2.5, 2.5);
  } else if (key == QLatin1String("display")) {
    p.setPen(QPen(kDark, 1.2));
    p.setBrush(QColor(10, 20, 30));
    p.drawRect(QRectF(1.5, 5.5, 21, 13));
    c.text(QStringLiteral("88"), QRectF(2, 6, 20, 12), QColor(0, 255, 255), 11);
  } else {
    c.page();
  }
  return c.icon();
}

QPixmap error_picture(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 40, 20));
  p.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
  p.setPen(QPen(Qt::white, std::max(1.5, size / 7.0), Qt::SolidLine, Qt::RoundCap));
  const double m = size * 0.3;
  p.drawLine(QPointF(m, m), QPointF(size - m, size - m));
  p.drawLine(QPointF(size - m, m), QPointF(m, size - m));
  return pixmap;
}

QIcon program_icon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(32, 64, 96));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  p.setPen(QPen(QColor(137, 205, 0), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(16, 18), QPointF(32, 48), QPointF(48, 18)}));
  p.end();
  return QIcon(pixmap);
}

}  // namespace vireo
