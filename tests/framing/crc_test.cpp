#include "framing/crc.h"

#include <gtest/gtest.h>

#include <boost/crc.hpp>
#include <random>

#include "framing/hex.h"

namespace {

TEST(CalculateCRC, WorkedExamplesDropLeadingZeros) {
  EXPECT_EQ(CalculateCRC("313233343536373839"), "D64E");  // catalogue check value of "123456789"
  EXPECT_EQ(CalculateCRC("7B30"), "0");
}

TEST(CalculateCRC, AgreesWithBoostOverRandomInput) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 1100, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false> oracle;
    oracle.process_bytes(bytes.data(), bytes.size());
    char expected[5];
    std::snprintf(expected, sizeof expected, "%X", oracle.checksum());
    ASSERT_EQ(CalculateCRC(EncodeHex(bytes)), expected) << "input " << EncodeHex(bytes);
  }
}

}  // namespace
