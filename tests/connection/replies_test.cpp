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

TEST_F(Replies, OnlyTheFirstFrameWithAPayloadIsAcknowledged) {
  // The first frame's PAY, the acknowledgements of it and of a second frame carrying 0A0B, and
  // ReceiveBuffer after both.
  const struct {
    std::string pay, ack, secondAck, received;
  } cases[] = {
      // The check of 001FFA000000000000000A0000C0 is 3C7, placed as 03C7.
      {"010203040506070809ABCD1003", "001FFA000000000000000A0000C003C71003", "",
       "0102030405060708090A0B"},
      {"AAABCD1003", "001FFA00000000000000020000C086041003", "", "AA0A0B"},
      {"1003", kEmptyAck, "001FFA00000000000000030000C0F0B01003", "0A0B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("first PAY " + c.pay);
    engine.ReceiveBuffer.clear();
    engine.C0Count = 0;
    EXPECT_EQ(reply("C0", c.pay), c.ack);
    EXPECT_EQ(reply("C0", "0A0BABCD1003"), c.secondAck);
    EXPECT_EQ(engine.ReceiveBuffer, c.received);
    EXPECT_EQ(engine.C0Count, 2);
  }
}

TEST_F(Replies, Opcode80AcknowledgesANewFbsAndRepeatsDriveTheUploadToItsEnd) {
  const std::string patch = engine.ssf2jpatch;
  std::vector<std::string> frames;
  // The next data frame: FBS `fbs`, two bytes received, the next 2,046 digits of the patch.
  const auto next = [&](const std::string& fbs) {
    frames.push_back(
        sealed("001FFA" + fbs + "00000003040040" + patch.substr(2046 * frames.size(), 2046)));
    return frames.back();
  };
  engine.ReceiveBuffer = "AA";
  EXPECT_EQ(reply("80", "BBABCD1003", "00000020"), "001FFA00000000000000030000C0F0B01003");
  // The repeat ends the box's data: no acknowledgement; the queue is built, its first frame sent.
  EXPECT_EQ(reply("80", "ABCD1003", "00000020"), next("00000000"));
  // Further repeats send the next frame and never build the queue again. The first chunk is
  // recorded one digit short: each FBS is then the bytes sent before it.
  engine.C0Count = 5;
  EXPECT_EQ(reply("80", "ABCD1003", "00000020"), next("000003FF"));
  EXPECT_EQ(engine.C0Count, 0);
  // A new FBS mid-upload: the data frame, then an acknowledgement whose FBS counts it.
  EXPECT_EQ(reply("80", "ABCD1003", "00000030"),
            next("000007FE") + "001FFA00000BFD000000030000C0EFE21003");
  EXPECT_EQ(reply("80", "ABCD1003", "00000030"), next("00000BFD"));
  EXPECT_EQ(engine.SentBuffer, patch.substr(0, 2045) + patch.substr(2046));
  EXPECT_FALSE(engine.DontDo);
  EXPECT_EQ(reply("80", "ABCD1003", "00000030"), "");
  EXPECT_TRUE(engine.DontDo);
  EXPECT_EQ(engine.PacketHistory, frames);
}

TEST_F(Replies, Opcode88IsAnsweredWithThe14Byte86ReplyAnd87RestartsTheCount) {
  // As a first frame it is acknowledged as well, after the 86.
  EXPECT_EQ(reply("88"), "001FFA0000000000000000000086" + kEmptyAck);
  engine.ReceiveBuffer = "AABB";
  engine.SentBuffer = std::string(2045, '1');
  EXPECT_EQ(reply("88"), "001FFA000003FF00000003000086");
  // 87 mid-upload: the data frame's FBS starts again from nothing sent.
  engine.ReceiveBuffer = "AA";
  engine.SentBuffer = std::string(4091, '1');
  engine.SendBuffer = "3333";
  EXPECT_EQ(reply("87"), "001FFA00000000000000020400403333F7E01003");
}

TEST_F(Replies, Opcode40LogsItsAcknowledgementAndWritesNothing) {
  engine.ReceiveBuffer = "AA";
  engine.C0Count = 4;
  EXPECT_EQ(reply("40", "0102ABCD1003"), "");
  EXPECT_EQ(engine.C0Count, 0);
  // With 7 bytes received the 0800 text's check is FCA: the retry form is logged as well.
  EXPECT_EQ(reply("40", "05060708ABCD1003"), "");
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{"Responding to ACK", "Responding to ACK - CRC FIX",
                                      "001FFA0000000000000008079880B2B91003"}));
}

TEST_F(Replies, ForceReplyAcknowledgesAndLeavesBusyAsItWasAndForcePatchStartsTheUpload) {
  engine.Busy = true;  // the window's test clicks it with Busy clear
  engine.cmdForce_Action();
  EXPECT_TRUE(engine.Busy);
  EXPECT_EQ(EncodeHex(serial.takeWritten()), kEmptyAck);
  EXPECT_EQ(logLines(),
            std::vector<std::string>{"Forced Reply!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"});
  // Force Patch: the upload starts after the next frame is acknowledged.
  engine.PushButton1_Action();
  EXPECT_EQ(reply("C0"),
            kEmptyAck + sealed("001FFA0000000000000000040040" + engine.ssf2jpatch.substr(0, 2046)));
}

}  // namespace
}  // namespace engine_test
