#include "tests/support/box_call.h"

#include "framing/hex.h"

// Box frames: 00, the id 1234, FBS, SBS, RCW 0000, the opcode, the payload, the check, 10 03.
BoxCall::BoxCall() {
  // The six login messages (1F BOX1; 0B OS and DB free, flags, phone, region, serial, slot,
  // city, user; 0C GM01; 0F; 0E with connect type 03; 10), 75 bytes and 76 in two frames.
  const std::string loginA = DecodeHex(
      "00123400000000000000000000401F424F58310B000180000000400000000001000000023230363535353031"
      "343700000000000000000000000000000000000000010005A1770102055249564552544F4E00000000000000"
      "0067EC1003");
  const std::string loginB = DecodeHex(
      "0012340000004C00000000000040000000000000000000000000000000000000504C41594552204F4E450000"
      "000000000000000000000000000000000000000000000C474D3031000000010F0002000000050E0310000000"
      "07052FDE1003");
  const std::string firstFrame = DecodeHex("00123400000000000000000000830100000000000000EB571003");
  events = {
      "\r\nOK\r\n",
      "\r\nRING\r\n",
      "\r\nRING\r\n",
      "\r\nCONNECT 2400\r\n",
      firstFrame,  // its second and third bytes become the id
      firstFrame,  // sent again while the box waits for the handshake
      DecodeHex("00123400000000000000000000C0478F1003"),
      loginA.substr(0, 40),  // as a slow line delivers it
      loginA.substr(40),
      loginB,
      DecodeHex("001234000000980000000000008850AC1003"),  // opcode 88
      DecodeHex("0012340000009800000000000080D1A41003"),  // 80 draws the patch's data frames
      DecodeHex("0012340000009800000000000080D1A41003"),  // the same FBS: the box's data is whole
      DecodeHex("00123400000099000004000000801F711003"),
      DecodeHex("0012340000009A000007FF00008072751003"),
      DecodeHex("0012340000009B00000BFE000080C8391003"),
      DecodeHex("0012340000009C00000CEC0000809E3A1003"),  // the patch is used up: acknowledged only
      "\r\nNO CARRIER\r\n",
  };
}
