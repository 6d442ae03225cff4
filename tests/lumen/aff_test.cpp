// The digit control of lumen: the digit rules, the colours and glyph pictures, the properties and
// their persistence, the size it keeps. Runs on the offscreen platform.
#include <QSignalSpy>
#include <QtTest>

#include "lumen/aff.h"
#include "lumen/factory.h"
#include "lumen/glyphs.h"

namespace lumen {

class AffTest : public QObject {
  Q_OBJECT

  // The glyphs shown, as text: digits, "-" for the minus sign; the colour must be `colour` throughout.
  static QString shown(const aff& control, int colour = 0) {
    QString text;
    for (int g : control.glyphs()) {
      if (g / kGlyphsPerColour != colour) return "wrong colour";
      text += g % kGlyphsPerColour == kMinusGlyph ? QChar('-') : QChar('0' + g % kGlyphsPerColour);
    }
    return text;
  }

 private slots:
  void digit_rules_data() {
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("last five of 1234567") << 5 << 1234567.0 << "34567";
    QTest::newRow("-42") << 5 << -42.0 << "-0042";
    QTest::newRow("a negative five-digit number") << 5 << -98765.0 << "-8765";
    QTest::newRow("ten digits, zero padded") << 10 << 42.0 << "0000000042";
    QTest::newRow("one digit") << 1 << 1239.0 << "9";
    QTest::newRow("fraction rounded down") << 5 << 12.9 << "00012";
    QTest::newRow("negative fraction rounded down") << 5 << -0.5 << "-0001";
    QTest::newRow("beyond 32 bits held at the top") << 10 << 1e12 << "2147483647";
    QTest::newRow("beyond 32 bits held at the bottom") << 10 << -1e12 << "-147483648";
    QTest::newRow("not a number") << 3 << std::nan("") << "000";
  }
  void digit_rules() {
    QFETCH(int, digits);
    QFETCH(double, number);
    QFETCH(QString, expected);
    aff control;
    control.ReadProperties({{"Nb_Digit", digits}});
    QVERIFY(control.Afficher(number));
    QCOMPARE(shown(control), expected);
  }

  void colour_outside_the_set_is_an_error_result() {
    aff control;
    control.Afficher(123);
    for (int colour : {7, -1, 1000}) {
      control.set_couleur(colour);
      QVERIFY(!control.Afficher(45));
      QCOMPARE(shown(control), QString("00123"));  // nothing changed
    }
    control.set_couleur(6);
    QVERIFY(control.Afficher(45));
    QCOMPARE(shown(control, 6), QString("00045"));
  }

  void colour_takes_effect_at_the_next_afficher_and_reading_rebuilds() {
    aff control;
    control.Afficher(77);
    control.set_couleur(1);
    QCOMPARE(shown(control, 0), QString("00077"));
    control.Afficher(77);
    QCOMPARE(shown(control, 1), QString("00077"));
    control.set_couleur(4);
    QCOMPARE(control.couleur(), 4);
    QCOMPARE(shown(control, 4), QString("00000"));
  }

  void digit_count_and_size() {
    aff control;
    QCOMPARE(control.size(), QSize(5 * 16, 21));
    control.set_Nb_Digit(8);
    QCOMPARE(control.glyphs().size(), std::size_t(5));  // a write does not rebuild the positions
    QCOMPARE(control.Nb_Digit(), 8);
    QCOMPARE(control.glyphs().size(), std::size_t(8));
    control.resize(400, 90);
    QCOMPARE(control.size(), QSize(8 * 16, 21));
    for (int outside : {0, 11, -3}) {
      control.set_Nb_Digit(outside);
      QCOMPARE(control.Nb_Digit(), 5);
    }
    control.set_Nb_Digit(12);
    QVERIFY(!control.Afficher(1));  // positions 8 to 11 were never built
  }

  void properties_persist_without_their_defaults() {
    aff control;
    QSignalSpy spy(&control, &aff::property_changed);
    QVariantMap bag{{"Other", 1}, {"Couleur", 3}};
    control.set_couleur(0);
    control.set_Nb_Digit(5);
    control.WriteProperties(bag);
    QCOMPARE(bag, (QVariantMap{{"Other", 1}}));
    control.set_couleur(2);
    control.set_Nb_Digit(6);
    control.WriteProperties(bag);
    QCOMPARE(bag, (QVariantMap{{"Other", 1}, {"Couleur", 2}, {"Nb_Digit", 6}}));
    QCOMPARE(spy.count(), 4);
    QCOMPARE(spy.at(3).at(0).toString(), QString("Nb_Digit"));

    aff reread;
    reread.ReadProperties({{"Couleur", 2}, {"Nb_Digit", 12}});
    QCOMPARE(reread.Nb_Digit(), 5);
    QCOMPARE(shown(reread, 2), QString("00000"));
    reread.ReadProperties({});
    QCOMPARE(reread.couleur(), 0);
  }

  void glyph_pictures() {
    QCOMPARE(kGlyphCount, 77);
    for (int i = 0; i < kGlyphCount; ++i) {
      const QImage& picture = glyph_picture(i);
      QCOMPARE(picture.size(), QSize(16, 21));
      QCOMPARE(picture.format(), QImage::Format_RGB888);
      // The middle bar is lit in 2 to 6, 8, 9 and the minus sign; its centre carries the colour.
      const int glyph = i % kGlyphsPerColour;
      const bool middle = glyph != 0 && glyph != 1 && glyph != 7;
      const QRgb lit = glyph_colour(i / kGlyphsPerColour);
      QCOMPARE(picture.pixel(8, 10) == lit, middle);
      QCOMPARE(picture.pixel(0, 0), qRgb(0, 0, 0));
    }
    QVERIFY(glyph_picture(77).isNull());
    // A digit eight and a minus differ only in the unlit segments, which stay dim but not black.
    const QRgb dim = glyph_picture(kMinusGlyph).pixel(8, 2);
    QVERIFY(dim != qRgb(0, 0, 0) && qGreen(dim) < 80);
  }

  void factory_creates_the_registered_control() {
    QCOMPARE(control_ids(), QStringList{"lumen.aff"});
    std::unique_ptr<QWidget> made(create_control("lumen.aff"));
    QVERIFY(qobject_cast<aff*>(made.get()));
    QCOMPARE(qobject_cast<aff*>(made.get())->Nb_Digit(), 5);
    QVERIFY(!create_control("lumen.other"));
  }
};

}  // namespace lumen

QTEST_MAIN(lumen::AffTest)
#include "aff_test.moc"
