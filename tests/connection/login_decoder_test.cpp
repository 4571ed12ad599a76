#include "connection/login_decoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct Decoded {
  std::vector<std::string> lines;
  std::int32_t location = 1;
};

Decoded decode(std::string_view receiveBuffer, std::int32_t location = 1) {
  Decoded decoded{{}, location};
  decodeLoginMessages(receiveBuffer, decoded.location,
                      [&](std::string_view line) { decoded.lines.emplace_back(line); });
  return decoded;
}

// 122 bytes: code, four 4-byte fields, a 26-byte phone number, region, serial, three 1-byte
// fields, and the two 34-byte texts.
const std::string kLoginMessage =
    "0B"
    "0001F400"
    "00008000"
    "00000003"
    "00000002"
    "3530333535353132313200000000000000000000000000000000"
    "00000001"
    "0012D687"
    "02"
    "05"
    "1C"
    "5269766572746F6E2C204561737465726E2048696C6C732C204E6F7274686C616E64"
    "50696C6F740000000000000000000000000000000000000000000000000000000000";

std::string loginStream(std::string_view connectType) {
  return "1F42584531" + kLoginMessage + "0CAB12CD3400000102" + "0F000700000015" + "0E" +
         std::string(connectType) +
         "10"
         "00010002"
         "06";
}

const std::string kNul = "\u2400";

std::string repeated(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

const std::vector<std::string> kLoginLines = {
    "Login : ",
    "OS Free",
    "0001F400",
    "DB Free",
    "00008000",
    "Misc Flags",
    "00000003",
    "Last Box State",
    "00000002",
    "Phone Number",
    "3530333535353132313200000000000000000000000000000000",
    "Region",
    "00000001",
    "Serial",
    "0012D687",
    "User Slot",
    "02",
    "Color",
    "05",
    "Icon",
    "1C",
    "Hometown",
    "Riverton, Eastern Hills, Northland",
    "Username",
    "Pilot" + repeated(kNul, 29),
};

std::vector<std::string> fullStreamLines(const std::string& connectLine) {
  std::vector<std::string> lines = {"System : ", "BXE1"};
  lines.insert(lines.end(), kLoginLines.begin(), kLoginLines.end());
  for (const char* line : {"Game ID", "AB12CD34", "Patch Version", "00000102",
                           "System Version Major", "0007", "System Version Minor ", "00000015"}) {
    lines.emplace_back(line);
  }
  if (!connectLine.empty()) lines.push_back(connectLine);
  for (const char* line : {"NGP VERSION ", "00010002", "Number of Games??? ", "06"}) {
    lines.emplace_back(line);
  }
  return lines;
}

// The whole stream of six messages: 40 lines with connect type 03 or 04, 39 with any other; the
// seventh pass finds the end of the 151 bytes and does nothing.
TEST(LoginDecoder, CompleteStreamLogsFortyLinesOrThirtyNine) {
  struct Case {
    const char* connectType;
    std::string connectLine;  // empty: no line
  };
  for (const Case& c : {Case{"03", "Challenge Connect"}, Case{"04", "Mail Only Connect"},
                        Case{"05", ""}, Case{"00", ""}, Case{"0C", ""}, Case{"30", ""}}) {
    SCOPED_TRACE(c.connectType);
    const Decoded decoded = decode(loginStream(c.connectType));
    EXPECT_EQ(decoded.lines.size(), c.connectLine.empty() ? 39u : 40u);
    EXPECT_THAT(decoded.lines, ElementsAreArray(fullStreamLines(c.connectLine)));
    EXPECT_EQ(decoded.location, 303);
  }
}

TEST(LoginDecoder, ShortSystemAndConnectTypeExample) {
  const Decoded decoded = decode("1F414243440E03");
  EXPECT_THAT(decoded.lines, ElementsAre("System : ", "ABCD", "Challenge Connect"));
  EXPECT_EQ(decoded.location, 15);
}

TEST(LoginDecoder, ConnectTypeAlwaysAdvancesFourDigits) {
  for (const char* buffer : {"0E05", "0E", "0E0"}) {
    SCOPED_TRACE(buffer);
    const Decoded decoded = decode(buffer);
    EXPECT_THAT(decoded.lines, IsEmpty());
    EXPECT_EQ(decoded.location, 5);
  }
}

TEST(LoginDecoder, SkipAfterLoginPassesWholeBytesUpToTheNextGameCode) {
  // A0 C0 CB hold "0C" only across byte boundaries, so all three are passed over.
  const Decoded decoded = decode(kLoginMessage + "A0C0CB" + "0C0000002A00000003");
  ASSERT_EQ(decoded.lines.size(), 29u);
  EXPECT_THAT(std::vector<std::string>(decoded.lines.begin(), decoded.lines.begin() + 25),
              ElementsAreArray(kLoginLines));
  EXPECT_THAT(std::vector<std::string>(decoded.lines.begin() + 25, decoded.lines.end()),
              ElementsAre("Game ID", "0000002A", "Patch Version", "00000003"));
  EXPECT_EQ(decoded.location, 245 + 6 + 18);
}

TEST(LoginDecoder, SkipStopsOnTheFirstByte0CWhateverFollows) {
  const Decoded decoded = decode(kLoginMessage + "AA0CBB" + "0C0000000100000002");
  ASSERT_EQ(decoded.lines.size(), 29u);
  EXPECT_THAT(std::vector<std::string>(decoded.lines.begin() + 25, decoded.lines.end()),
              ElementsAre("Game ID", "BB0C0000", "Patch Version", "00010000"));
  // Left on "00", which no message starts with.
  EXPECT_EQ(decoded.location, 245 + 2 + 18);
}

TEST(LoginDecoder, LoginAtTheEndOfTheBufferStopsTheSkipAtOnce) {
  const Decoded decoded = decode(kLoginMessage);
  EXPECT_THAT(decoded.lines, ElementsAreArray(kLoginLines));
  EXPECT_EQ(decoded.location, 245);
}

TEST(LoginDecoder, LoginCutShortLogsEveryLabelAndAdvancesByFullWidths) {
  const Decoded decoded = decode(
      "0B0001F400000080000000000300000002"
      "3530333535");
  EXPECT_THAT(decoded.lines,
              ElementsAre("Login : ", "OS Free", "0001F400", "DB Free", "00008000", "Misc Flags",
                          "00000003", "Last Box State", "00000002", "Phone Number", "3530333535",
                          "Region", "", "Serial", "", "User Slot", "", "Color", "", "Icon", "",
                          "Hometown", "", "Username", ""));
  EXPECT_EQ(decoded.location, 245);
}

TEST(LoginDecoder, CharacterFieldCutShortShowsTheBytesThatRemain) {
  const std::string cut = kLoginMessage.substr(0, kLoginMessage.size() - 68 - 62);
  const Decoded decoded = decode(cut);
  ASSERT_EQ(decoded.lines.size(), 25u);
  EXPECT_EQ(decoded.lines[22], "Riv");
  EXPECT_EQ(decoded.lines[24], "");
  EXPECT_EQ(decoded.location, 245);
}

TEST(LoginDecoder, OnlySevenMessagesAreDecoded) {
  std::string buffer;
  for (const char* text : {"41414141", "42424242", "43434343", "44444444", "45454545", "46464646",
                           "47474747", "48484848"}) {
    buffer += std::string("1F") + text;
  }
  const Decoded decoded = decode(buffer);
  EXPECT_THAT(decoded.lines, ElementsAre("System : ", "AAAA", "System : ", "BBBB", "System : ",
                                         "CCCC", "System : ", "DDDD", "System : ", "EEEE",
                                         "System : ", "FFFF", "System : ", "GGGG"));
  EXPECT_EQ(decoded.location, 71);
}

TEST(LoginDecoder, RepeatedCodesAreEachDecoded) {
  const Decoded decoded = decode("1F414243441F45464748");
  EXPECT_THAT(decoded.lines, ElementsAre("System : ", "ABCD", "System : ", "EFGH"));
  EXPECT_EQ(decoded.location, 21);
}

TEST(LoginDecoder, UnknownOrIncompleteCodeStopsAllLaterPasses) {
  struct Case {
    const char* buffer;
    std::vector<std::string> lines;
    std::int32_t location;
  };
  const Case cases[] = {
      {"", {}, 1},
      {"1", {}, 1},
      {"991F41424344", {}, 1},
      {"1F41424344"
       "99"
       "1F45464748",
       {"System : ", "ABCD"},
       11},
      {"1F41424344"
       "1f45464748",
       {"System : ", "ABCD"},
       11},
      {"1F41424344"
       "0",
       {"System : ", "ABCD"},
       11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.buffer);
    const Decoded decoded = decode(c.buffer);
    EXPECT_THAT(decoded.lines, ElementsAreArray(c.lines));
    EXPECT_EQ(decoded.location, c.location);
  }
}

TEST(LoginDecoder, StartsFromTheLocationItIsGiven) {
  const Decoded decoded = decode(
      "1F41424344"
      "1F45464748",
      11);
  EXPECT_THAT(decoded.lines, ElementsAre("System : ", "EFGH"));
  EXPECT_EQ(decoded.location, 21);
}

TEST(LoginDecoder, ValuesPastTheEndAreEmptyLines) {
  const Decoded decoded = decode("0F00", 1);
  EXPECT_THAT(decoded.lines,
              ElementsAre("System Version Major", "00", "System Version Minor ", ""));
  EXPECT_EQ(decoded.location, 15);
}

TEST(LoginDecoder, CharacterFieldsKeepEveryByteVisible) {
  const Decoded decoded = decode("1F000A7FE9");
  EXPECT_THAT(decoded.lines, ElementsAre("System : ", "\u2400\u240A\u2421\u00E9"));
}

TEST(LoginCharacters, RendersEachByteAsOneCharacter) {
  struct Case {
    const char* hex;
    std::string text;
  };
  const Case cases[] = {
      {"", ""},
      {"41", "A"},
      {"20", " "},
      {"7E", "~"},
      {"6a6B", "jk"},
      {"00", "\u2400"},
      {"0D0A", "\u240D\u240A"},
      {"1F", "\u241F"},
      {"7F", "\u2421"},
      {"80", "\u0080"},
      {"A0", "\u00A0"},
      {"E9", "\u00E9"},
      {"FF", "\u00FF"},
      {"4100", "A\u2400"},
      {"004120", "\u2400A "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    EXPECT_EQ(loginCharacters(c.hex), c.text);
  }
}

}  // namespace
