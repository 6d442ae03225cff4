#include "lumen/factory.h"

#include "lumen/aff.h"

namespace lumen {

QStringList control_ids() { return {QString::fromLatin1(kAffId)}; }

QWidget* create_control(const QString& id, QWidget* parent) {
  if (id != QLatin1String(kAffId)) return nullptr;
  auto* control = new aff(parent);
  control->InitProperties();
  return control;
}

}  // namespace lumen
