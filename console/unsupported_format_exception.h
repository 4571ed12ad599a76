#pragma once

#include "console/runtime_exception.h"

// Bytes that do not make a valid property list, or a property its target does not have.
class UnsupportedFormatException : public RuntimeException {
 public:
  using RuntimeException::RuntimeException;
};
