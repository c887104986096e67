// The console reporter the benchmarks share: it prints as usual and keeps
// each run's throughput, the median where runs repeat, so that a benchmark
// can print its ratios against the peers after the run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace qxbench {

class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto rate = run.counters.find("bytes_per_second");
      if (rate != run.counters.end())
        rates_[run.run_name.function_name + " " + run.report_label] = rate->second;
    }
  }

  // Bytes per second of `function` run with `label`, or 0 when it did not
  // run.
  double Rate(const std::string& function, const std::string& label) const {
    const auto found = rates_.find(function + " " + label);
    return found != rates_.end() ? found->second : 0;
  }

  // The labels `function` ran with.
  std::vector<std::string> Labels(const std::string& function) const {
    std::vector<std::string> labels;
    for (const auto& entry : rates_) {
      if (entry.first.compare(0, function.size() + 1, function + " ") == 0)
        labels.push_back(entry.first.substr(function.size() + 1));
    }
    return labels;
  }

 private:
  std::map<std::string, double> rates_;
};

}  // namespace qxbench
