#include "connection/login_decoder.h"

#include <span>

#include "framing/hex.h"

namespace {

enum class Shown { Hex, Characters };

struct Field {
  std::string_view label;
  std::int32_t digits;
  Shown shown;
};

struct Message {
  std::string_view code;
  std::string_view heading;  // a line of its own before the fields; empty for none
  std::span<const Field> fields;
};

constexpr Field kSystemFields[] = {{"System : ", 8, Shown::Characters}};

constexpr Field kLoginFields[] = {
    {"OS Free", 8, Shown::Hex},
    {"DB Free", 8, Shown::Hex},
    {"Misc Flags", 8, Shown::Hex},
    {"Last Box State", 8, Shown::Hex},
    {"Phone Number", 52, Shown::Hex},
    {"Region", 8, Shown::Hex},
    {"Serial", 8, Shown::Hex},
    {"User Slot", 2, Shown::Hex},
    {"Color", 2, Shown::Hex},
    {"Icon", 2, Shown::Hex},
    {"Hometown", 68, Shown::Characters},
    {"Username", 68, Shown::Characters},
};

constexpr Field kGameFields[] = {{"Game ID", 8, Shown::Hex}, {"Patch Version", 8, Shown::Hex}};

constexpr Field kSystemVersionFields[] = {{"System Version Major", 4, Shown::Hex},
                                          {"System Version Minor ", 8, Shown::Hex}};

constexpr Field kVersionCountFields[] = {{"NGP VERSION ", 8, Shown::Hex},
                                         {"Number of Games??? ", 2, Shown::Hex}};

constexpr std::string_view kLoginCode = "0B";
constexpr std::string_view kGameCode = "0C";
constexpr std::string_view kConnectTypeCode = "0E";

// In the order the codes are tested; the connect type has no fields and is handled apart.
constexpr Message kMessages[] = {
    {"1F", "", kSystemFields},       {kLoginCode, "Login : ", kLoginFields},
    {kGameCode, "", kGameFields},    {"0F", "", kSystemVersionFields},
    {"10", "", kVersionCountFields},
};

// Up to `width` digits from the 1-based `location`; fewer, or none, where the buffer ends.
std::string_view digitsAt(std::string_view buffer, std::int32_t location, std::int32_t width) {
  if (location < 1 || static_cast<std::size_t>(location) > buffer.size()) return {};
  return buffer.substr(static_cast<std::size_t>(location) - 1, static_cast<std::size_t>(width));
}

void decodeFields(std::span<const Field> fields, std::string_view buffer, std::int32_t& location,
                  const std::function<void(std::string_view)>& log) {
  for (const Field& field : fields) {
    log(field.label);
    const std::string_view value = digitsAt(buffer, location, field.digits);
    if (field.shown == Shown::Hex) {
      log(value);
    } else {
      log(loginCharacters(value));
    }
    location += field.digits;  // the full width, even where the buffer ran out
  }
}

// Stops on the first byte 0C, whatever message it belongs to, so the next pass reads it as a code.
void skipToGameMessage(std::string_view buffer, std::int32_t& location) {
  while (static_cast<std::size_t>(location) <= buffer.size() &&
         digitsAt(buffer, location, 2) != kGameCode) {
    location += 2;
  }
}

void decodeOneMessage(std::string_view buffer, std::int32_t& location,
                      const std::function<void(std::string_view)>& log) {
  const std::string_view code = digitsAt(buffer, location, 2);
  if (code == kConnectTypeCode) {
    location += 2;
    const std::string_view connectType = digitsAt(buffer, location, 2);
    if (connectType == "03") {
      log("Challenge Connect");
    } else if (connectType == "04") {
      log("Mail Only Connect");
    }
    location += 2;
    return;
  }
  for (const Message& message : kMessages) {
    if (code != message.code) continue;
    location += 2;
    if (!message.heading.empty()) log(message.heading);
    decodeFields(message.fields, buffer, location, log);
    if (message.code == kLoginCode) skipToGameMessage(buffer, location);
    return;
  }
  // An unknown code leaves `location` on it, so every later pass stops here too.
}

void appendUtf8(std::string& text, char32_t codePoint) {
  if (codePoint < 0x80) {
    text.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    text.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

}  // namespace

void decodeLoginMessages(std::string_view receiveBuffer, std::int32_t& location,
                         const std::function<void(std::string_view)>& log) {
  for (int pass = 0; pass < 7; ++pass) decodeOneMessage(receiveBuffer, location, log);
}

std::string loginCharacters(std::string_view hexDigits) {
  std::string text;
  for (unsigned char byte : DecodeHex(hexDigits)) {
    if (byte < 0x20) {
      appendUtf8(text, 0x2400 + byte);
    } else if (byte == 0x7F) {
      appendUtf8(text, 0x2421);
    } else {
      appendUtf8(text, byte);  // Latin-1 is the first 256 code points
    }
  }
  return text;
}
