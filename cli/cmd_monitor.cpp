// vantrel monitor: a monitor's RGB-to-XYZ matrix relative to D50 and its inverse, for the
// monitor of a preference file or the defaults, edited by the same options as prefs monitor.
#include <string>
#include <vector>

#include "input.h"
#include "prefs.h"
#include "vantrel/colorimetry.h"

namespace {

// A matrix on the XYZ scale: the forward matrix gives XYZ, the inverse takes it.
std::vector<std::vector<float>> Scaled(const float (&m)[3][3], float factor) {
    std::vector<std::vector<float>> rows(3, std::vector<float>(3));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rows[i][j] = m[i][j] * factor;
    return rows;
}

void AddMatrix(const char* name, const char* rows, const std::vector<std::vector<float>>& m,
               int decimals, cli::Record* record, std::string* table) {
    cli::Table t;
    cli::Json jsonRows = cli::Json::Array();
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> cells = {std::string("  ") + rows[i]};
        cli::Json json = cli::Json::Array();
        for (int j = 0; j < 3; ++j) {
            const std::string header = std::string(name) + " " + rows[i] + std::to_string(j + 1);
            record->Number(header, "", m[i][j], decimals);
            cells.push_back(record->Cell(header));
            json.Push(cli::Json::Literal(record->Cell(header)));
        }
        t.AddRow(cells);
        jsonRows.Push(std::move(json));
    }
    record->Json(name, std::move(jsonRows));
    *table += std::string(name) +
              (std::string(name) == "forward" ? " (linear RGB to D50 XYZ)\n"
                                              : " (D50 XYZ to linear RGB)\n") +
              t.Text();
}

int RunMonitor(const cli::Invocation& run) {
    const cli::Format format = cli::FormatOf(run.options);
    const float scale = cli::XyzScale(run.options);
    const cli::MonitorEdits edits = cli::EditsOf(run.options);
    const std::vector<std::string>& words = run.options.Operands();
    if (words.size() > 1) throw cli::UsageError("unexpected argument " + cli::Quoted(words[1]));
    PF_MonitorSettings m = cli::DefaultMonitor();
    if (!words.empty()) {
        const std::string& path = words[0];
        cli::RefuseStandardOutputOverInput({path});
        const cli::PreferenceFileView view = cli::InspectPreferenceFile(path);
        if (!cli::ReadMonitor(cli::InputName(path), view, &m))
            cli::FailOn(cli::InputName(path), "no monitor settings (record 102)");
    }
    cli::ApplyMonitorEdits(edits, &m);

    float forward[3][3], inverse[3][3];
    const short result = GetMonitorTransformMatrix(m, forward, inverse);
    if (result == VANTREL_ERR_WHITE_NOT_DETERMINED)
        throw cli::Failure(
            "result -7: the primaries do not determine the white point (they "
            "are collinear or two of them coincide)");
    // On the unit scale six decimals; on the percent scale the forward matrix has two more
    // digits before the point and the inverse two more after it.
    const int unitDecimals = 6;
    cli::Record record;
    std::string table;
    AddMatrix("forward", "XYZ", Scaled(forward, scale), scale == 1.0f ? unitDecimals : 4, &record,
              &table);
    if (result == VANTREL_ERR_SINGULAR) {
        cli::RecordWriter(format, false, run.out)
            .Write(record.Integer("", "result", result).TableText(table));
        throw cli::Failure(
            "result -3: the adapted matrix is singular, so there is no inverse "
            "(the white point lies on or outside the triangle of the primaries)");
    }
    AddMatrix("inverse", "RGB", Scaled(inverse, 1.0f / scale),
              scale == 1.0f ? unitDecimals : unitDecimals + 2, &record, &table);
    record.Integer("", "result", result)
        .TableText(table + "result " + std::to_string(result) + "\n");
    cli::RecordWriter(format, false, run.out).Write(record);
    return result == VANTREL_SUCCESS ? cli::kExitOk : cli::kExitFailure;
}

const cli::Register kMonitorCommand(
    {"monitor",
     "a monitor's RGB-to-XYZ matrix relative to D50, and its inverse",
     {"monitor [FILE|-]"},
     [] {
         std::vector<cli::Option> options = {cli::FormatOption(), cli::ScaleOption()};
         for (const cli::Option& o : cli::MonitorOptions(false)) options.push_back(o);
         return options;
     }(),
     "Builds the matrix from linear RGB (0..1) to XYZ relative to D50 (percent scale, white\n"
     "Y = 100, unless --scale unit) for a monitor given by the CIE 1931 x, y of its primaries\n"
     "and white point (each above 0, x + y at most 1), each primary adapted to D50 by linear\n"
     "Bradford, and its inverse. With --scale unit the inverse is the matrix a calibrated RGB\n"
     "encoding of the library takes. The monitor comes from record 102 of FILE, or the\n"
     "defaults (ITU-R BT 709 primaries, D65 white); the options replace its values. Exit\n"
     "status 1 with an explanation for result -7 (the primaries do not determine the white)\n"
     "and -3 (no inverse: the white lies on or outside the primaries' triangle).\n",
     "vantrel monitor --white 0.3457 0.3585 --scale unit",
     RunMonitor});

}  // namespace
