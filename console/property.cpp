#include "console/property.h"

#include "console/unsupported_format_exception.h"

namespace {

template <class T>
const T& valueAs(const Property& property, const char* typeName) {
  if (const T* value = std::get_if<T>(&property.value)) return *value;
  throw UnsupportedFormatException("property " + property.name + " is not of type " + typeName);
}

}  // namespace

bool Property::asBoolean() const {
  return valueAs<bool>(*this, "Boolean");
}
std::int32_t Property::asInt32() const {
  return valueAs<std::int32_t>(*this, "Int32");
}
Colour Property::asColour() const {
  return valueAs<Colour>(*this, "Color");
}
float Property::asSingle() const {
  return valueAs<float>(*this, "Single");
}
double Property::asDouble() const {
  return valueAs<double>(*this, "Double");
}
const std::string& Property::asString() const {
  return valueAs<std::string>(*this, "String");
}
