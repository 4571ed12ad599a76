#pragma once

#include <cstdint>
#include <string>

#include "console/property_list.h"

// The property lists of the windows and their controls, each in the order its class takes them,
// with the settings that every window or control of the class shares.

struct ControlPlace {
  std::string name;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t tabIndex = 0;
  bool visible = true;
};

PropertyList comboBoxProperties(const ControlPlace& place);
PropertyList checkBoxProperties(const ControlPlace& place, const std::string& caption);
PropertyList pushButtonProperties(const ControlPlace& place, const std::string& caption);
PropertyList textAreaProperties(const ControlPlace& place, std::uint32_t textColour,
                                std::uint32_t backColour);
PropertyList labelProperties(const ControlPlace& place, const std::string& text,
                             std::uint32_t textColour);

struct WindowSettings {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::string title;
  bool hasBackColor = false;
  std::uint32_t backColour = 0;
};

// A document window that can be resized between 64 x 64 and 32000 x 32000, with every title-bar
// button but full screen, shown as soon as it is built.
PropertyList windowProperties(const WindowSettings& settings);
