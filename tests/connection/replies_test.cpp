#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"

namespace engine_test {
namespace {

const std::string kEmptyAck = "001FFA00000000000000000000C06B6C1003";

class Replies : public EngineTest {
 protected:
  // Hands the engine one frame's fields as the extraction would: PAY with check and end marker.
  void reply(const std::string& opc, const std::string& payload = "",
             const std::string& fbs = "00000000") {
    engine.Busy = true;
    engine.RespondToPacket(fbs, "00000002", "0000", opc, payload + "ABCD1003");
    EXPECT_FALSE(engine.Busy);
  }

  std::string writtenHex() { return EncodeHex(serial.takeWritten()); }
};

TEST_F(Replies, TheFirstFrameIsAcknowledgedWithAZeroPaddedShortCheck) {
  reply("C0", "010203040506070809");
  EXPECT_EQ(engine.ReceiveBuffer, "010203040506070809");
  // The check of 001FFA000000000000000A0000C0 is 3C7, padded to four digits.
  EXPECT_EQ(writtenHex(), "001FFA000000000000000A0000C003C71003");
  EXPECT_EQ(engine.C0Count, 1);

  reply("C0", "0A0B");
  EXPECT_EQ(engine.ReceiveBuffer, "0102030405060708090A0B");
  EXPECT_EQ(writtenHex(), "");
  EXPECT_EQ(engine.C0Count, 2);
}

TEST_F(Replies, AnEmptyFirstPayloadKeepsTheNextFrameAFirstFrame) {
  reply("C0");
  EXPECT_EQ(writtenHex(), kEmptyAck);
  EXPECT_EQ(engine.ReceiveBuffer, "");
  reply("55", "AA");
  EXPECT_EQ(writtenHex(), sealed("001FFA00000000000000020000C0"));
  EXPECT_EQ(engine.ReceiveBuffer, "AA");
}

TEST_F(Replies, APayloadTooShortForItsCheckIsEmpty) {
  engine.RespondToPacket("00000000", "", "", "C0", "1003");
  EXPECT_EQ(engine.ReceiveBuffer, "");
  EXPECT_EQ(writtenHex(), kEmptyAck);
}

TEST_F(Replies, Opcode80AcknowledgesANewFbsAndARepeatEndsTheBoxData) {
  engine.ReceiveBuffer = "AA";
  reply("80", "", "00000010");  // the first after a reset is always new
  EXPECT_EQ(engine.LastRcv, "00000010");
  EXPECT_EQ(writtenHex(), sealed("001FFA00000000000000020000C0"));
  EXPECT_FALSE(engine.DoneReading);

  reply("80", "BB", "00000020");
  EXPECT_EQ(engine.LastRcv, "00000020");
  EXPECT_EQ(writtenHex(), sealed("001FFA00000000000000030000C0"));

  // The repeat: no acknowledgement; the send queue is built and its first frame goes out.
  reply("80", "", "00000020");
  EXPECT_TRUE(engine.DoneReading);
  EXPECT_TRUE(engine.DoneBuildingSendQue);
  EXPECT_TRUE(engine.SendingData);
  const std::vector<std::string> frames = splitFrames(serial.takeWritten(), {1041});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].substr(0, 28), "001FFA0000000000000003040040");
  EXPECT_EQ(engine.LastRcv, "00000020");

  // Further repeats send the next frame and never build the queue again.
  const std::int32_t location = engine.Location;
  reply("80", "", "00000020");
  EXPECT_EQ(serial.takeWritten().size(), 1041u);
  EXPECT_EQ(engine.Location, location);
  EXPECT_EQ(engine.PacketHistory.size(), 2u);
}

TEST_F(Replies, DuringTheUploadANewFbsGetsTheDataFrameThenItsAcknowledgement) {
  engine.ReceiveBuffer = "AA";
  engine.SendBuffer = std::string(3000, '1');
  engine.SendingData = true;
  reply("80", "", "00000001");
  const std::vector<std::string> frames = splitFrames(serial.takeWritten(), {1041, 18});
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], sealed("001FFA0000000000000002040040" + std::string(2046, '1')));
  // The acknowledgement's FBS already counts the chunk just sent.
  EXPECT_EQ(frames[1], sealed("001FFA000003FF000000020000C0"));
}

TEST_F(Replies, Opcode88IsAnsweredWithTheFourteenByte86Reply) {
  engine.ReceiveBuffer = "AABB";
  engine.SentBuffer = std::string(2045, '1');
  reply("88");
  const std::string written = serial.takeWritten();
  EXPECT_EQ(written.size(), 14u);
  EXPECT_EQ(EncodeHex(written), "001FFA000003FF00000003000086");
  EXPECT_EQ(engine.logger.text, "");
}

TEST_F(Replies, Opcode88AsAFirstFrameGets86ThenTheAcknowledgement) {
  reply("88");
  EXPECT_EQ(splitFrames(serial.takeWritten(), {14, 18}),
            (std::vector<std::string>{"001FFA0000000000000000000086", kEmptyAck}));
}

TEST_F(Replies, Opcode87RestartsTheCountMidUpload) {
  engine.ReceiveBuffer = "AA";
  engine.SendBuffer = std::string(2046, '1') + std::string(2046, '2') + "3333";
  engine.SendingData = true;
  engine.SendPatch();
  engine.SendPatch();
  serial.takeWritten();
  ASSERT_EQ(engine.SentBuffer.size(), 4091u);

  reply("87");
  EXPECT_EQ(writtenHex(), sealed("001FFA00000000000000020400403333"));
  EXPECT_EQ(engine.SentBuffer, "3333");
  EXPECT_EQ(engine.SendBuffer, "");

  reply("87");
  EXPECT_EQ(writtenHex(), "");
  EXPECT_EQ(engine.SentBuffer, "");
  EXPECT_TRUE(engine.DontDo);
}

TEST_F(Replies, Opcode40LogsItsAcknowledgementAndWritesNothing) {
  engine.ReceiveBuffer = "AA";
  engine.C0Count = 4;
  reply("40", "0102");
  EXPECT_EQ(logLines(), std::vector<std::string>{"Responding to ACK"});
  EXPECT_EQ(engine.C0Count, 0);
  EXPECT_EQ(writtenHex(), "");
  EXPECT_EQ(engine.ReceiveBuffer, "AA0102");

  // With 7 bytes received the 0800 text's check is FCA: the retry form is logged as well.
  clearLog();
  engine.ReceiveBuffer = "01020304";
  reply("40", "050607");
  EXPECT_EQ(logLines(), (std::vector<std::string>{"Responding to ACK - CRC FIX",
                                                  "001FFA0000000000000008079880B2B91003"}));
  EXPECT_EQ(writtenHex(), "");
}

TEST_F(Replies, ForceReplyWithEmptyBuffersWritesTheEighteenByteAcknowledgement) {
  engine.Busy = true;  // neither Busy nor the state is looked at
  engine.cmdForce_Action();
  EXPECT_EQ(engine.logger.text, "\rForced Reply!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!");
  EXPECT_EQ(logLines().at(0).size(), 48u);
  const std::string written = serial.takeWritten();
  EXPECT_EQ(written, DecodeHex("001FFA00000000000000000000C06B6C1003"));
  EXPECT_EQ(written.size(), 18u);

  engine.ReceiveBuffer = "AABB";
  engine.cmdForce_Action();
  EXPECT_EQ(writtenHex(), sealed("001FFA00000000000000030000C0"));
}

TEST_F(Replies, ForcePatchOutsideACallHoldsUntilTheNextDisconnect) {
  engine.PushButton1_Action();
  serial.receive("RING\r\n");
  serial.receive("OK\r\n");
  EXPECT_TRUE(engine.DoneReading);
  EXPECT_FALSE(engine.DoneBuildingSendQue);

  // In the call, the reply to the first frame acknowledges it and then starts the upload.
  dialIn();
  serial.receive(boxFrame("C0"));
  EXPECT_TRUE(engine.SendingData);
  const std::vector<std::string> frames = splitFrames(serial.takeWritten(), {18, 1041});
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], kEmptyAck);
  EXPECT_EQ(frames[1].substr(0, 28), "001FFA0000000000000000040040");

  serial.receive("NO CARRIER\r\n");
  EXPECT_FALSE(engine.DoneReading);
}

}  // namespace
}  // namespace engine_test
