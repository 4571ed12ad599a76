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

// Its 39 lines, or 40 where the connect type is named; the seven passes end at digit 303.
std::string streamLines(const std::string& connectLine) {
  return "System : |BXE1|" + kLoginLines +
         "Game ID|AB12CD34|Patch Version|00000102|System Version Major|0007|"
         "System Version Minor |00000015|" +
         connectLine + "NGP VERSION |00010002|Number of Games??? |06|@303";
}

// The lines that seven passes from `location` log, each ended by '|', then '@' and the location
// they end at.
std::string decoded(const std::string& buffer, std::int32_t location = 1) {
  std::string lines;
  decodeLoginMessages(buffer, location,
                      [&](std::string_view line) { lines.append(line).push_back('|'); });
  return lines + "@" + std::to_string(location);
}

TEST(LoginDecoder, SevenPassesFromTheGivenLocation) {
  EXPECT_EQ(decoded(loginStream("03")), streamLines("Challenge Connect|"));
  EXPECT_EQ(decoded(loginStream("05")), streamLines(""));
  // After a login, whole bytes are passed over up to the first byte 0C, whatever follows it.
  EXPECT_EQ(decoded(kLoginMessage), kLoginLines + "@245");
  EXPECT_EQ(decoded(kLoginMessage + "A0C0CB0C0000002A00000003"),
            kLoginLines + "Game ID|0000002A|Patch Version|00000003|@269");
  EXPECT_EQ(decoded(kLoginMessage + "AA0CBB0C0000000100000002"),
            kLoginLines + "Game ID|BB0C0000|Patch Version|00010000|@265");
  // Values cut short or past the end; the location still advances by the full widths.
  EXPECT_EQ(decoded(kLoginMessage.substr(0, 44)),
            kLoginLines.substr(0, kLoginLines.find("Phone")) +
                "Phone Number|3530333535|Region||Serial||"
                "User Slot||Color||Icon||Hometown||Username||@245");
  EXPECT_EQ(decoded(kLoginMessage.substr(0, 114)),
            kLoginLines.substr(0, kLoginLines.find("Riverton")) + "Riv|Username||@245");
  EXPECT_EQ(decoded("0F0"), "System Version Major|0|System Version Minor ||@15");
  EXPECT_EQ(decoded("0E040E"), "Mail Only Connect|@9");  // a connect code alone at the end
  // An unknown or incomplete code stops every later pass.
  for (const char* buffer : {"1", "991F41424344"}) EXPECT_EQ(decoded(buffer), "@1") << buffer;
  for (const char* buffer : {"1F41424344991F45464748", "1F414243441f45464748", "1F414243440"})
    EXPECT_EQ(decoded(buffer), "System : |ABCD|@11") << buffer;
  EXPECT_EQ(
      decoded("1F414141411F424242421F434343431F444444441F454545451F464646461F474747471F48484848"),
      "System : |AAAA|System : |BBBB|System : |CCCC|System : |DDDD|System : |EEEE|"
      "System : |FFFF|System : |GGGG|@71");
  EXPECT_EQ(decoded("1F414243441F45464748", 11), "System : |EFGH|@21");
}

TEST(LoginCharacters, RendersEachByteAsOneCharacter) {
  EXPECT_EQ(loginCharacters("20417E6a6B"), " A~jk");
  EXPECT_EQ(loginCharacters("000D0A1F7F004120"), "\u2400\u240D\u240A\u241F\u2421\u2400A ");
  EXPECT_EQ(loginCharacters("80A0E9FF"), "\u0080\u00A0\u00E9\u00FF");
}

}  // namespace
