#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "console/property_target.h"

// A control of a window, known to the window by its name.
class Control : public PropertyTarget {
 public:
  const std::string& Name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  std::int32_t Index() const { return index_; }

  // Raised once, after the window has built all of its controls.
  virtual void raiseOpen() {}

  bool applyProperty(const Property& property) override;

 private:
  std::string name_;
  // Position in a control array; the lowest Int32 means none, so the control is found by its
  // name alone.
  std::int32_t index_ = INT32_MIN;
};
