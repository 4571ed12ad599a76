#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The 8-digit position field of a hex-text buffer: "00000000" when it is empty, otherwise its byte
// count plus one in upper-case hex. An odd digit count drops the half byte. A value that needs
// more than eight digits gives the empty text.
std::string ReturnLongLengthOfString(std::string_view buffer);

// The field of a non-empty buffer of `byteCount` whole bytes.
std::string positionField(std::uint64_t byteCount);
