#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/property.h"

// The fixed settings of a window or a control as one byte string, applied once when it is built.
// Each entry is the name in ASCII letters, one blank and the value: Boolean and font unit 1 byte,
// Int32, colour and single float 4 bytes little-endian, double 8, String a 4-byte little-endian
// length and the bytes, InitialParent 4 bytes. No count and no terminator: the list ends where
// the bytes end.
class PropertyList {
 public:
  PropertyList& boolean(std::string name, bool value);
  PropertyList& fontUnit(std::string name, std::uint8_t code);
  PropertyList& int32(std::string name, std::int32_t value);
  PropertyList& colour(std::string name, std::uint32_t rgb);
  PropertyList& single(std::string name, float value);
  PropertyList& real(std::string name, double value);
  PropertyList& string(std::string name, std::string value);
  PropertyList& initialParent(std::string name);
  PropertyList& add(Property property);

  const std::vector<Property>& entries() const { return entries_; }

  std::string encode() const;
  // UnsupportedFormatException on a name of no known property or a value cut short.
  static PropertyList decode(std::string_view bytes);
  // The type of a property by its name; the byte form carries no type of its own.
  static bool knownProperty(std::string_view name, PropertyType* type = nullptr);

 private:
  std::vector<Property> entries_;
};
