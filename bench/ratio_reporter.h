#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The usual console report, closed by the ratios of chosen pairs of benchmarks' CPU time per
// iteration, so a comparison can be read off in one line.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Ratio {
    std::string label;
    std::string numerator;  // benchmark name, as the report prints it
    std::string denominator;
  };

  // Colours only on a terminal, as the library's own reporter does by default.
  explicit RatioReporter(std::vector<Ratio> ratios);

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::vector<Ratio> ratios_;
  std::map<std::string, double> secondsPerIteration_;
};
