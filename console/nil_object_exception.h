#pragma once

#include "console/runtime_exception.h"

// Something looked up by name is not there.
class NilObjectException : public RuntimeException {
 public:
  using RuntimeException::RuntimeException;
};
