#pragma once

#include "console/property.h"

// A window or control that a property list can be applied to.
class PropertyTarget {
 public:
  virtual ~PropertyTarget() = default;
  // Applies one entry; false when this kind of object has no property of that name.
  virtual bool applyProperty(const Property& property) = 0;
};
