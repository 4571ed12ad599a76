#include "console/framework.h"

#include "console/property_list.h"
#include "console/property_target.h"
#include "console/unsupported_format_exception.h"
#include "console/window.h"

void Framework::_SetProperties(PropertyTarget& target, std::string_view list) {
  const PropertyList properties = PropertyList::decode(list);
  for (const Property& property : properties.entries()) {
    if (!target.applyProperty(property)) {
      throw UnsupportedFormatException("no property " + property.name + " here");
    }
  }
}

Window* Framework::_GetImplicitWindow(const std::string& className) {
  return Window::findOpen(className);
}
