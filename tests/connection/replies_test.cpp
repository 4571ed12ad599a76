#include "engine_fixture.h"

namespace engine_test {
namespace {

const std::string kEmptyAck = "001FFA00000000000000000000C06B6C1003";

class Replies : public EngineTest {
 protected:
  // Answers one frame's fields as the extraction hands them on; returns the bytes written, as hex.
  std::string reply(const std::string& opc, const std::string& pay = "ABCD1003",
                    const std::string& fbs = "00000000") {
    engine.Busy = true;
    engine.RespondToPacket(fbs, "00000002", "0000", opc, pay);
    EXPECT_FALSE(engine.Busy);
    return EncodeHex(serial.takeWritten());
  }
};

struct FirstFrameCase {
  std::string pay;        // of the first frame
  std::string ack;        // written for it
  std::string secondAck;  // written for a second frame carrying 0A0B
  std::string received;   // ReceiveBuffer after both
};

TEST_F(Replies, OnlyTheFirstFrameWithAPayloadIsAcknowledged) {
  const FirstFrameCase cases[] = {
      // The check of 001FFA000000000000000A0000C0 is 3C7, placed as 03C7.
      {"010203040506070809ABCD1003", "001FFA000000000000000A0000C003C71003", "",
       "0102030405060708090A0B"},
      {"AAABCD1003", "001FFA00000000000000020000C086041003", "", "AA0A0B"},
      {"ABCD1003", kEmptyAck, "001FFA00000000000000030000C0F0B01003", "0A0B"},
      {"1003", kEmptyAck, "001FFA00000000000000030000C0F0B01003", "0A0B"},
  };
  for (const FirstFrameCase& c : cases) {
    SCOPED_TRACE("first PAY " + c.pay);
    engine.ReceiveBuffer.clear();
    engine.C0Count = 0;
    EXPECT_EQ(reply("C0", c.pay), c.ack);
    EXPECT_EQ(reply("C0", "0A0BABCD1003"), c.secondAck);
    EXPECT_EQ(engine.ReceiveBuffer, c.received);
    EXPECT_EQ(engine.C0Count, 2);
  }
}

TEST_F(Replies, Opcode80AcknowledgesANewFbsAndARepeatDrivesTheUpload) {
  const std::string patch = engine.ssf2jpatch;
  engine.ReceiveBuffer = "AA";
  EXPECT_EQ(reply("80", "BBABCD1003", "00000020"), "001FFA00000000000000030000C0F0B01003");

  // The repeat ends the box's data: no acknowledgement; the queue is built, its first frame sent.
  EXPECT_EQ(reply("80", "ABCD1003", "00000020"),
            sealed("001FFA0000000000000003040040" + patch.substr(0, 2046)));
  // Further repeats send the next frame and never build the queue again.
  EXPECT_EQ(reply("80", "ABCD1003", "00000020"),
            sealed("001FFA000003FF00000003040040" + patch.substr(2046, 2046)));
  // A new FBS mid-upload: the data frame, then an acknowledgement whose FBS counts it.
  EXPECT_EQ(reply("80", "ABCD1003", "00000030"),
            sealed("001FFA000007FE00000003040040" + patch.substr(4092, 2046)) +
                "001FFA00000BFD000000030000C0EFE21003");
}

TEST_F(Replies, Opcode88IsAnsweredWithThe14Byte86Reply) {
  // As a first frame it is acknowledged as well, after the 86.
  EXPECT_EQ(reply("88"), "001FFA0000000000000000000086" + kEmptyAck);
  engine.ReceiveBuffer = "AABB";
  engine.SentBuffer = std::string(2045, '1');
  EXPECT_EQ(reply("88"), "001FFA000003FF00000003000086");
}

TEST_F(Replies, Opcode87RestartsTheCountMidUpload) {
  engine.ReceiveBuffer = "AA";
  engine.SentBuffer = std::string(4091, '1');
  engine.SendBuffer = "3333";
  EXPECT_EQ(reply("87"), "001FFA00000000000000020400403333F7E01003");
  EXPECT_EQ(reply("87"), "");
  EXPECT_TRUE(engine.DontDo);
}

TEST_F(Replies, Opcode40LogsItsAcknowledgementAndWritesNothing) {
  engine.ReceiveBuffer = "AA";
  engine.C0Count = 4;
  EXPECT_EQ(reply("40", "0102ABCD1003"), "");
  EXPECT_EQ(engine.logger.text, "\rResponding to ACK");
  EXPECT_EQ(engine.C0Count, 0);

  // With 7 bytes received the 0800 text's check is FCA: the retry form is logged as well.
  clearLog();
  EXPECT_EQ(reply("40", "05060708ABCD1003"), "");
  EXPECT_EQ(engine.logger.text,
            "\rResponding to ACK - CRC FIX\r001FFA0000000000000008079880B2B91003");
}

TEST_F(Replies, ForceReplyWritesTheEighteenByteAcknowledgementAndLeavesBusyAsItWas) {
  for (const bool busy : {true, false}) {
    SCOPED_TRACE(busy ? "Busy set" : "Busy clear");
    clearLog();
    engine.Busy = busy;
    engine.cmdForce_Action();
    EXPECT_EQ(engine.Busy, busy);
    EXPECT_EQ(engine.logger.text, "\rForced Reply!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!");
    EXPECT_EQ(EncodeHex(serial.takeWritten()), kEmptyAck);
  }
}

TEST_F(Replies, ForcePatchStartsTheUploadAfterTheNextFrameIsAcknowledged) {
  engine.PushButton1_Action();
  EXPECT_EQ(reply("C0"),
            kEmptyAck + sealed("001FFA0000000000000000040040" + engine.ssf2jpatch.substr(0, 2046)));
}

}  // namespace
}  // namespace engine_test
