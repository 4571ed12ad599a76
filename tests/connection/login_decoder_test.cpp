#include "connection/login_decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 122 bytes: code, four 4-byte fields, a 26-byte phone number, region, serial, three 1-byte
// fields, and the two 34-byte texts.
const std::string kLoginMessage =
    "0B0001F400000080000000000300000002"
    "3530333535353132313200000000000000000000000000000000"
    "000000010012D68702051C"
    "5269766572746F6E2C204561737465726E2048696C6C732C204E6F7274686C616E64"
    "50696C6F740000000000000000000000000000000000000000000000000000000000";

// Its 25 log lines, each ended by '|'.
const std::string kLoginLines =
    "Login : |OS Free|0001F400|DB Free|00008000|Misc Flags|00000003|Last Box State|00000002|"
    "Phone Number|3530333535353132313200000000000000000000000000000000|Region|00000001|"
    "Serial|0012D687|User Slot|02|Color|05|Icon|1C|Hometown|Riverton, Eastern Hills, Northland|"
    "Username|Pilot\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400"
    "\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400\u2400"
    "\u2400|";

// The six messages, 151 bytes, with the given connect type.
std::string loginStream(const std::string& connectType) {
  return "1F42584531" + kLoginMessage + "0CAB12CD3400000102" + "0F000700000015" + "0E" +
         connectType + "10" + "00010002" + "06";
}

// Its 39 lines, or 40 where the connect type is named.
std::string streamLines(const std::string& connectLine) {
  return "System : |BXE1|" + kLoginLines +
         "Game ID|AB12CD34|Patch Version|00000102|System Version Major|0007|"
         "System Version Minor |00000015|" +
         connectLine + "NGP VERSION |00010002|Number of Games??? |06|";
}

TEST(LoginDecoder, SevenPassesFromTheGivenLocation) {
  const struct {
    std::string name;
    std::string buffer;
    std::int32_t from;
    std::string lines;
    std::int32_t location;
  } cases[] = {
      // The seventh pass finds the end of the 151 bytes and does nothing.
      {"stream, connect 03", loginStream("03"), 1, streamLines("Challenge Connect|"), 303},
      {"stream, connect 04", loginStream("04"), 1, streamLines("Mail Only Connect|"), 303},
      {"stream, connect 05", loginStream("05"), 1, streamLines(""), 303},
      // After a login, whole bytes are passed over up to the first byte 0C, whatever follows it.
      {"login at the end", kLoginMessage, 1, kLoginLines, 245},
      {"0C only across bytes", kLoginMessage + "A0C0CB0C0000002A00000003", 1,
       kLoginLines + "Game ID|0000002A|Patch Version|00000003|", 269},
      {"byte 0C inside", kLoginMessage + "AA0CBB0C0000000100000002", 1,
       kLoginLines + "Game ID|BB0C0000|Patch Version|00010000|", 265},
      // Values cut short or past the end; the location still advances by the full widths.
      {"login cut short", "0B0001F4000000800000000003000000023530333535", 1,
       "Login : |OS Free|0001F400|DB Free|00008000|Misc Flags|00000003|Last Box State|00000002|"
       "Phone Number|3530333535|Region||Serial||User Slot||Color||Icon||Hometown||Username||",
       245},
      {"hometown cut short", kLoginMessage.substr(0, 114), 1,
       kLoginLines.substr(0, kLoginLines.find("Riverton")) + "Riv|Username||", 245},
      {"version cut short", "0F0", 1, "System Version Major|0|System Version Minor ||", 15},
      {"connect type alone", "0E05", 1, "", 5},
      {"connect code alone", "0E", 1, "", 5},
      // An unknown or incomplete code stops every later pass.
      {"empty", "", 1, "", 1},
      {"one digit", "1", 1, "", 1},
      {"unknown first", "991F41424344", 1, "", 1},
      {"unknown second", "1F41424344991F45464748", 1, "System : |ABCD|", 11},
      {"lower-case code", "1F414243441f45464748", 1, "System : |ABCD|", 11},
      {"half a code", "1F414243440", 1, "System : |ABCD|", 11},
      {"eight messages",
       "1F414141411F424242421F434343431F444444441F454545451F464646461F474747471F48484848", 1,
       "System : |AAAA|System : |BBBB|System : |CCCC|System : |DDDD|System : |EEEE|"
       "System : |FFFF|System : |GGGG|",
       71},
      {"from the second message", "1F414243441F45464748", 11, "System : |EFGH|", 21},
  };
  for (const auto& c : cases) {
    std::string lines;
    std::int32_t location = c.from;
    decodeLoginMessages(c.buffer, location,
                        [&](std::string_view line) { lines.append(line).push_back('|'); });
    EXPECT_EQ(lines, c.lines) << c.name << ": " << c.buffer;
    EXPECT_EQ(location, c.location) << c.name << ": " << c.buffer;
  }
}

TEST(LoginCharacters, RendersEachByteAsOneCharacter) {
  const struct {
    const char* hex;
    const char* text;
  } cases[] = {
      {"", ""},
      {"20417E6a6B", " A~jk"},
      {"000D0A1F", "\u2400\u240D\u240A\u241F"},
      {"7F", "\u2421"},
      {"80A0E9FF", "\u0080\u00A0\u00E9\u00FF"},
      {"004120", "\u2400A "},
  };
  for (const auto& c : cases) EXPECT_EQ(loginCharacters(c.hex), c.text) << c.hex;
}

}  // namespace
