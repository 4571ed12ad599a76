#include "bench/ratio_reporter.h"

#include <unistd.h>

#include <iomanip>
#include <ostream>
#include <utility>

RatioReporter::RatioReporter(std::vector<Ratio> ratios)
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular),
      ratios_(std::move(ratios)) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
    secondsPerIteration_[run.benchmark_name()] =
        run.cpu_accumulated_time / static_cast<double>(run.iterations);
  }
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::ostream& out = GetOutputStream();
  for (const Ratio& ratio : ratios_) {
    const auto numerator = secondsPerIteration_.find(ratio.numerator);
    const auto denominator = secondsPerIteration_.find(ratio.denominator);
    if (numerator == secondsPerIteration_.end() || denominator == secondsPerIteration_.end()) {
      continue;  // filtered out on the command line
    }
    out << "ratio " << ratio.label << ": " << std::fixed << std::setprecision(2)
        << numerator->second / denominator->second << '\n';
  }
}
