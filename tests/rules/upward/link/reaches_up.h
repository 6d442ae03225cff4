// A link source that reaches up into the windows: the floor rule must refuse it.
#pragma once
#include "app/shell.h"
