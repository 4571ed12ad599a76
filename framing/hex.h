#pragma once

#include <string>
#include <string_view>

// Protocol bytes are held, searched and logged as upper-case hex text, two digits per byte.

// Bytes to upper-case hex text without separators.
std::string EncodeHex(std::string_view bytes);

// Hex text to bytes. Either case is accepted; a trailing unpaired digit is dropped. Callers pass
// hex digits only (operator text is checked before it gets here); any other character reads as 0.
std::string DecodeHex(std::string_view hex);

// The value of one hex digit, or -1 for any other character.
int hexDigitValue(char c);
