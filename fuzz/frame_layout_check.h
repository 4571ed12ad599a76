#pragma once

#include <string>
#include <string_view>

// Reads what the engine wrote to the modem and says what is wrong with it, or nothing: every
// byte must belong to a modem command or a whole frame the server sends (lead bytes 00 1F FA,
// a known RCW and opcode, a payload of a size that opcode allows, a right check and 10 03). The
// check is recomputed with Boost.CRC, independently of the engine.
std::string frameLayoutProblem(std::string_view written);
