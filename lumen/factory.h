// The controls of the library by their component identifier, as a container creates them.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "lumen/export.h"

namespace lumen {

inline constexpr char kAffId[] = "lumen.aff";

// The identifiers of the controls this library holds.
LUMEN_EXPORT QStringList control_ids();
// A new instance of the control registered under `id`, with its properties initialised for a new
// instance; nullptr for an identifier the library does not hold.
LUMEN_EXPORT QWidget* create_control(const QString& id, QWidget* parent = nullptr);

}  // namespace lumen
