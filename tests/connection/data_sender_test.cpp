#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"

namespace engine_test {
namespace {

using DataSender = EngineTest;

struct UploadStep {
  std::size_t chunkDigits;
  std::string fbs;
  std::size_t sentAfter;
};

TEST_F(DataSender, UploadsSsf2jpatchInFourFrames) {
  const std::string patch = engine.ssf2jpatch;
  ASSERT_EQ(patch.size(), 6610u);
  engine.SendBuffer = patch;
  // The position field of the odd-length SentBuffer drops the half: bytes sent so far.
  const UploadStep steps[] = {{2046, "00000000", 2045},
                              {2046, "000003FF", 4091},
                              {2046, "000007FE", 6137},
                              {472, "00000BFD", 6609}};
  std::size_t offset = 0;
  std::size_t frames = 0;
  std::string sent;  // every chunk but the first one's last digit
  for (const UploadStep& step : steps) {
    SCOPED_TRACE("frame with FBS " + step.fbs);
    engine.C0Count = 5;
    engine.SendPatch();
    const std::string frame = sealed("001FFA" + step.fbs + "00000000" + "0400" + "40" +
                                     patch.substr(offset, step.chunkDigits));
    const std::string written = serial.takeWritten();
    EXPECT_EQ(written.size(), 18 + step.chunkDigits / 2);
    EXPECT_EQ(EncodeHex(written), frame);
    EXPECT_EQ(engine.PacketHistory.size(), ++frames);
    EXPECT_EQ(engine.PacketHistory.back(), frame);
    EXPECT_EQ(logLines().back(), "SENT : " + frame);
    sent += offset == 0 ? patch.substr(0, 2045) : patch.substr(offset, step.chunkDigits);
    EXPECT_EQ(engine.SentBuffer.size(), step.sentAfter);
    EXPECT_TRUE(engine.SentBuffer == sent);
    EXPECT_EQ(engine.C0Count, 0);
    EXPECT_FALSE(engine.DontDo);
    offset += step.chunkDigits;
  }
  EXPECT_EQ(engine.SendBuffer, "");
  EXPECT_EQ(logLines().size(), 4u);

  engine.C0Count = 5;
  engine.SendPatch();
  EXPECT_EQ(serial.written, "");
  EXPECT_TRUE(engine.DontDo);
  EXPECT_EQ(engine.C0Count, 0);
  EXPECT_EQ(logLines().size(), 4u);
  EXPECT_EQ(engine.PacketHistory.size(), 4u);
}

struct OneFrameCase {
  const char* name;
  std::string sendBuffer;
  std::vector<std::string> log;  // before the "SENT : " line
  std::string frame;             // hex text written; empty for none
};

TEST_F(DataSender, SendsOneFrameFromTheFrontOfTheQueue) {
  const std::string full(2046, 'A');
  const OneFrameCase cases[] = {
      {"a chunk of exactly 2,046 digits", full, {}, sealed("001FFA0000000000000000040040" + full)},
      {"a short queue keeps RCW 0400", "0102", {}, sealed("001FFA00000000000000000400400102")},
      // 0400 gives the check E4C; the rebuilt frame's check 8EF9 is used.
      {"a short check rebuilds with 0398",
       "07",
       {"We had a CRC issue... Rolling up"},
       "001FFA0000000000000000039840078EF91003"},
      // The rebuilt check 5C4 is short as well: padded, not retried again.
      {"a rebuilt check still short",
       "002C002C002C002C002C002C",
       {"We had a CRC issue... Rolling up"},
       "001FFA0000000000000000039840002C002C002C002C002C002C05C41003"},
      {"an empty queue", "", {}, ""},
  };
  for (const OneFrameCase& c : cases) {
    SCOPED_TRACE(c.name);
    clearLog();
    engine.DontDo = false;
    engine.SentBuffer.clear();
    engine.PacketHistory.clear();
    engine.SendBuffer = c.sendBuffer;

    engine.SendPatch();
    EXPECT_EQ(EncodeHex(serial.takeWritten()), c.frame);
    std::vector<std::string> log = c.log;
    if (!c.frame.empty()) log.push_back("SENT : " + c.frame);
    EXPECT_EQ(logLines(), log);
    // A first chunk of 2,045 digits or fewer is recorded whole.
    EXPECT_EQ(engine.SentBuffer, c.sendBuffer.substr(0, 2045));
    EXPECT_EQ(engine.PacketHistory.size(), c.frame.empty() ? 0u : 1u);
    EXPECT_EQ(engine.DontDo, c.frame.empty());

    engine.SendPatch();
    EXPECT_EQ(serial.written, "");
    EXPECT_TRUE(engine.DontDo);
  }
}

}  // namespace
}  // namespace engine_test
