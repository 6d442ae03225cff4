// The digit control including a part of the system: lumen must stand alone.
#pragma once
#include "base/number_text.h"
