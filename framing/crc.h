#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The frame check: CRC-16/GENIBUS (poly 0x1021, init 0xFFFF, not reflected, final XOR 0xFFFF).

// One byte into a running CCITT register (init and final XOR are left to the caller).
std::uint16_t ccitt_updcrc1(std::uint16_t crc, std::uint8_t byte);

// The frame check of raw bytes.
std::uint16_t frameCheck(std::string_view bytes);

// The frame check of hex text as 1 to 4 upper-case hex digits, without leading zeros.
std::string CalculateCRC(std::string_view hexText);

// `text` + its check as exactly four digits + the end marker "1003". A check text shorter than
// four digits is zero-padded here so that every frame stays whole bytes.
std::string sealFrame(std::string_view text, std::string_view checkText);
