#pragma once

#include <string>
#include <string_view>

// Reads what the engine wrote to the modem and says what is wrong with it, or nothing: every
// byte must belong to a modem command ("AT&F", "ATS0=2", "AT+VCID=1", or a carriage return
// alone, each ending in a carriage return) or to a whole frame the server sends: the handshake
// (83), a C0 acknowledgement, a data frame (40) of at most 1,023 payload bytes, each from
// 00 1F FA through a right check and 10 03, or the 14-byte 86 reply. The check is recomputed
// with Boost.CRC, independently of the engine.
std::string frameLayoutProblem(std::string_view written);
