#pragma once

#include <QColor>

#include "console/property.h"

inline QColor toQColor(Colour colour) {
  return QColor(static_cast<int>((colour.rgb >> 16) & 0xFF),
                static_cast<int>((colour.rgb >> 8) & 0xFF), static_cast<int>(colour.rgb & 0xFF));
}
