#pragma once

#include <optional>
#include <string>
#include <string_view>

// The operator's own send-queue text, made ready to send: blanks and line breaks are dropped and
// the digits upper-cased. Gives nothing, and says why in `problem`, when anything but hex digits
// remains or the digits do not make whole bytes.
std::optional<std::string> checkOverrideText(std::string_view typed, std::string& problem);
