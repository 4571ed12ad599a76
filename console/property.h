#pragma once

#include <cstdint>
#include <string>
#include <variant>

// One entry of a property list: a name and a value whose type fixes its width in the byte form.

struct Colour {
  std::uint32_t rgb = 0;  // 0x00RRGGBB
  bool operator==(const Colour&) const = default;
};

// The unit of TextSize; 0 is the platform's default unit (points here).
struct FontUnit {
  std::uint8_t code = 0;
  bool operator==(const FontUnit&) const = default;
};

// The control that holds another; 0 is the window itself, the only parent used here.
struct InitialParent {
  std::uint32_t reference = 0;
  bool operator==(const InitialParent&) const = default;
};

// The alternatives in the order of PropertyType.
using PropertyValue =
    std::variant<bool, FontUnit, std::int32_t, Colour, float, double, std::string, InitialParent>;

enum class PropertyType { Boolean, FontUnit, Int32, Colour, Single, Double, String, InitialParent };

struct Property {
  std::string name;
  PropertyValue value;
  bool operator==(const Property&) const = default;

  PropertyType type() const { return static_cast<PropertyType>(value.index()); }
  // The value as the given alternative; UnsupportedFormatException when it has another type.
  bool asBoolean() const;
  std::int32_t asInt32() const;
  Colour asColour() const;
  float asSingle() const;
  double asDouble() const;
  const std::string& asString() const;
};
