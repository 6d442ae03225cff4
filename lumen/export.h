// What the lumen library shows to the programs that load it.
#pragma once

#include <QtGlobal>

#if defined(LUMEN_BUILDING)
#define LUMEN_EXPORT Q_DECL_EXPORT
#else
#define LUMEN_EXPORT Q_DECL_IMPORT
#endif
