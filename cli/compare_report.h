// The result of vantrel compare: what was asked, and the rows and summary that render what the
// measurement library found.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli.h"
#include "vantrel/measure.h"

namespace cli {

struct CompareRequest {
    vantrel::measure::CompareOptions options;
    cli::Format format = cli::Format::kTable;
    std::string png;
    int pngWidth = vantrel::measure::kReportWidth;
    bool sort = false;
    size_t worst = 0;  // 0: every patch
    vantrel::measure::ReadOptions reference, sample;
    std::vector<std::string> paths;
};

// A row for each pair listed: every pair in the reference's order, or worst first, or the
// worst N.
RowSet CompareRows(const CompareRequest& r, const vantrel::measure::MeasurementSet& reference,
                   const vantrel::measure::Comparison& c);

// The summary: the files, their colour and scale, what was ignored, the statistics, the groups
// of a tolerance profile and the verdict.
void AddCompareSummary(const CompareRequest& r, const vantrel::measure::FileComparison& f,
                       Report& report);

}  // namespace cli
