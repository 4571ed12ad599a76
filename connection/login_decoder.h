#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Reads the box's login messages from the start of the received payload text into the operator
// log: exactly seven passes, each decoding the message whose code stands at `location` (1-based
// digit position, advanced past what was read). `log` receives one line per call.
void decodeLoginMessages(std::string_view receiveBuffer, std::int32_t& location,
                         const std::function<void(std::string_view)>& log);

// The bytes that hex digits stand for, as log text (UTF-8): printable ASCII as itself, control
// bytes as their control pictures (U+2400 + byte, U+2421 for 7F), bytes above 7F as Latin-1.
std::string loginCharacters(std::string_view hexDigits);
