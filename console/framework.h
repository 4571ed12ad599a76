#pragma once

#include <string>
#include <string_view>

class PropertyTarget;
class Window;

// The framework's services to the windows it builds.
class Framework {
 public:
  // Applies a property list, entry by entry. UnsupportedFormatException when the bytes are no
  // property list or the target has no property of an entry's name.
  static void _SetProperties(PropertyTarget& target, std::string_view list);
  // The open window of the class, or none.
  static Window* _GetImplicitWindow(const std::string& className);
};
