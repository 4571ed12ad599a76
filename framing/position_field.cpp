#include "framing/position_field.h"

std::string ReturnLongLengthOfString(std::string_view buffer) {
  if (buffer.empty()) return "00000000";
  return positionField(buffer.size() / 2);
}

std::string positionField(std::uint64_t byteCount) {
  const std::uint64_t value = byteCount + 1;
  if (value > 0xFFFFFFFFu) return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string field(8, '0');
  for (int i = 7; i >= 0; --i) field[i] = kDigits[(value >> (4 * (7 - i))) & 0x0F];
  return field;
}
