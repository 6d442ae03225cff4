// Machine logic that includes Qt: the rule that keeps the logic free of Qt must refuse it.
#pragma once
#include <QString>
