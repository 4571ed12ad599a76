// The frame check and the hex codec, against Boost.CRC on the same bytes.
#include <benchmark/benchmark.h>

#include <boost/crc.hpp>
#include <cstdio>
#include <random>
#include <string>

#include "bench/ratio_reporter.h"
#include "framing/crc.h"
#include "framing/hex.h"

namespace {

// A data frame with a full chunk up to the end of its payload: 14 header bytes and 1,023 bytes.
constexpr int kDataFrameBytes = 14 + 1023;
constexpr int k64KiB = 64 * 1024;
constexpr int k1MiB = 1024 * 1024;

using BoostFrameCheck = boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false>;

std::string randomBytes(std::size_t size) {
  std::mt19937 random(static_cast<std::mt19937::result_type>(size));
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void calculateCrc(benchmark::State& state) {
  const std::string hex = EncodeHex(randomBytes(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(CalculateCRC(hex));
  setBytes(state);
}

// The same work as CalculateCRC with Boost.CRC in the middle: decode, check, render.
void boostFromHex(benchmark::State& state) {
  const std::string hex = EncodeHex(randomBytes(static_cast<std::size_t>(state.range(0))));
  char text[5];
  for (auto _ : state) {
    const std::string bytes = DecodeHex(hex);
    BoostFrameCheck check;
    check.process_bytes(bytes.data(), bytes.size());
    std::snprintf(text, sizeof text, "%X", check.checksum());
    benchmark::DoNotOptimize(text);
  }
  setBytes(state);
}

void frameCheckBytes(benchmark::State& state) {
  const std::string bytes = randomBytes(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(frameCheck(bytes));
  setBytes(state);
}

void boostBytes(benchmark::State& state) {
  const std::string bytes = randomBytes(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    BoostFrameCheck check;
    check.process_bytes(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(check.checksum());
  }
  setBytes(state);
}

void encodeHex(benchmark::State& state) {
  const std::string bytes = randomBytes(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(EncodeHex(bytes));
  setBytes(state);
}

void decodeHex(benchmark::State& state) {
  const std::string hex = EncodeHex(randomBytes(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(DecodeHex(hex));
  setBytes(state);  // bytes out, so both directions read alike
}

BENCHMARK(calculateCrc)->Name("CalculateCRC")->Arg(kDataFrameBytes)->Arg(k64KiB);
BENCHMARK(boostFromHex)->Name("DecodeHex+Boost.CRC")->Arg(kDataFrameBytes)->Arg(k64KiB);
BENCHMARK(frameCheckBytes)->Name("frameCheck")->Arg(kDataFrameBytes)->Arg(k64KiB);
BENCHMARK(boostBytes)->Name("Boost.CRC")->Arg(kDataFrameBytes)->Arg(k64KiB);
BENCHMARK(encodeHex)->Name("EncodeHex")->Arg(kDataFrameBytes)->Arg(k64KiB)->Arg(k1MiB);
BENCHMARK(decodeHex)->Name("DecodeHex")->Arg(kDataFrameBytes)->Arg(k64KiB)->Arg(k1MiB);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const std::string frame = std::to_string(kDataFrameBytes);
  const std::string big = std::to_string(k64KiB);
  RatioReporter reporter({
      {"CalculateCRC / (DecodeHex + Boost.CRC), full data frame", "CalculateCRC/" + frame,
       "DecodeHex+Boost.CRC/" + frame},
      {"CalculateCRC / (DecodeHex + Boost.CRC), 64 KiB", "CalculateCRC/" + big,
       "DecodeHex+Boost.CRC/" + big},
      {"frameCheck / Boost.CRC, full data frame", "frameCheck/" + frame, "Boost.CRC/" + frame},
      {"frameCheck / Boost.CRC, 64 KiB", "frameCheck/" + big, "Boost.CRC/" + big},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
