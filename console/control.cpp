#include "console/control.h"

bool Control::applyProperty(const Property& property) {
  if (property.name == "Name") {
    name_ = property.asString();
  } else if (property.name == "Index") {
    index_ = property.asInt32();
  } else {
    return false;
  }
  return true;
}
