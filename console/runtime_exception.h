#pragma once

#include <stdexcept>

// The base of the exceptions that the exception wrapper hands back to the runtime instead of
// letting them unwind: a handler that fails with one of these ends only its own event.
class RuntimeException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
