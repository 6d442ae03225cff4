// aff: a row of seven-segment digits showing a signed integer, in one of seven colours. The host
// window calls Afficher whenever its value changes; the control keeps the pictures it was given until
// the next call.
#pragma once

#include <QVariantMap>
#include <QWidget>
#include <vector>

#include "lumen/export.h"

namespace lumen {

class LUMEN_EXPORT aff : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDefaultCouleur = 0;
  static constexpr int kDefaultNbDigit = 5;
  static constexpr int kMaxNbDigit = 10;

  explicit aff(QWidget* parent = nullptr);

  // Shows the last Nb_Digit digits of the number's magnitude, the leftmost replaced by a minus sign
  // for a negative number. A fraction is rounded down and a value beyond the 32-bit range held at its
  // end. Returns false when a position cannot be given its glyph (a colour outside 0 to 6, a digit
  // count no position was built for); the positions updated before keep their new glyphs.
  bool Afficher(double number);

  // Reading the colour rebuilds the positions (all zeros in the current colour) first.
  int couleur();
  // Stores the colour; the digits keep their pictures until the next Afficher.
  void set_couleur(int value);
  // Reading the digit count replaces a count outside 1 to 10 by 5 and rebuilds the positions.
  int Nb_Digit();
  // Stores the digit count; nothing is rebuilt.
  void set_Nb_Digit(int value);

  // The container's events: a new instance, the stored properties ("Couleur", "Nb_Digit") read and
  // written (each omitted when it holds its default), and the rebuild of the positions.
  void InitProperties();
  void ReadProperties(const QVariantMap& bag);
  void WriteProperties(QVariantMap& bag) const;
  void Initialize();

  // The glyph each shown position holds (colour × 11 + glyph, the minus sign being glyph 10),
  // leftmost first; -1 for a position built while the colour selected no glyph.
  std::vector<int> glyphs() const;

  QSize sizeHint() const override;

 signals:
  // A persisted property was written: "Couleur" or "Nb_Digit".
  void property_changed(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fit_size();

  int couleur_ = kDefaultCouleur;
  int nb_digit_ = kDefaultNbDigit;
  std::vector<int> positions_;  // the glyph of every position built so far
};

}  // namespace lumen
