// vantrel measure: the colorimetry and densities of each patch of a measurement file. The
// reading, colour science and densities are libvantrel_measure's.
#include <cmath>
#include <string>
#include <vector>

#include "cli.h"
#include "input.h"
#include "measure_common.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

// The patches of `set` as rows: id, name, location, XYZ, L*a*b*, C*, h and the densities; in
// CSV, which has no title, the scale of the spectra and how it was decided on every row.
cli::RowSet PatchRows(const measure::MeasurementSet& set,
                      const std::vector<measure::Colour>& colours, bool densities, float scale,
                      int decimals, bool scaleColumns) {
    std::vector<cli::RowSet::Column> columns = {{"id", "id", false}};
    if (set.hasName) columns.push_back({"name", "name", false});
    if (set.hasLocation) columns.push_back({"location", "location", false});
    for (const char* name : {"X", "Y", "Z"}) columns.push_back({name, name, true});
    for (const char* name : {"L*", "a*", "b*", "C*"}) columns.push_back({name, {name[0]}, true});
    columns.push_back({"h", "h", true});
    if (densities)
        for (const char* name :
             {"T_vis", "T_red", "T_green", "T_blue", "I_vis", "I_red", "I_green", "I_blue"})
            columns.push_back({name, name, true});
    if (scaleColumns) {
        columns.push_back({"scale", "scale", false});
        columns.push_back({"scale_basis", "scale_basis", false});
    }
    const std::string scaleName = measure::ScaleName(set.scale.scale);
    const std::string basis = measure::ScaleBasisName(set.scale.basis);
    cli::RowSet rows(std::move(columns));
    rows.Reserve(set.patches.size());
    for (size_t k = 0; k < set.patches.size(); ++k) {
        const measure::Patch& patch = set.patches[k];
        const measure::Colour& c = colours[k];
        rows.Text(set.hasId ? patch.id : std::to_string(k + 1));
        if (set.hasName) rows.Text(patch.name);
        if (set.hasLocation) rows.Text(patch.location);
        // XYZ on the unit scale keeps the digits of the percent scale.
        for (double v : c.xyz)
            rows.Value(scale == 1.0f ? v / 100.0 : v, scale == 1.0f ? decimals + 2 : decimals);
        for (double v : c.lab) rows.Value(v, decimals);
        double hue = std::atan2(c.lab[2], c.lab[1]) * 180.0 / M_PI;
        if (hue < 0) hue += 360.0;
        rows.Value(std::hypot(c.lab[1], c.lab[2]), decimals);
        rows.Value(hue, decimals);
        if (densities) {
            const measure::Densities d = measure::DensitiesOf(set, k);
            for (float v : d.statusT) rows.Value(v, decimals);
            for (float v : d.statusI) rows.Value(v, decimals);
        }
        if (scaleColumns) {
            rows.Text(scaleName);
            rows.Text(basis);
        }
    }
    return rows;
}

// The densities of every patch, for CGATS.
std::vector<measure::Densities> AllDensities(const measure::MeasurementSet& set) {
    std::vector<measure::Densities> all;
    for (size_t k = 0; k < set.patches.size(); ++k) all.push_back(measure::DensitiesOf(set, k));
    return all;
}

int RunMeasure(const cli::Invocation& run) {
    const cli::Options& options = run.options;
    const bool densities = options.Has("--densities");
    const bool cgats = options.Value("--format") == "cgats";
    const cli::Format format = cgats ? cli::Format::kCsv : cli::FormatOf(options);
    const measure::Integration integration = cli::IntegrationOf(options);
    const float scale = cli::XyzScale(options);
    const measure::ReadOptions read(static_cast<int>(options.Whole("--table", 1)),
                                    cli::SpectralScaleOf(options, ""));
    const std::string path = cli::Expect(options.Operands(), {"FILE"})[0];
    cli::RefuseStandardOutputOverInput({path});

    const measure::MeasurementSet set = cli::ReadSet(path, read);
    const std::vector<measure::Colour> colours = measure::Colours(set, integration);
    if (densities) measure::DensitiesOf(set, 0);  // fails before anything is printed

    std::vector<std::string> warnings = set.warnings;
    cli::WarnOfGuessedScale(set, "", warnings);
    cli::WarnOfStatedConditions(set, integration, warnings);
    const std::string colour = measure::DescribeColour(set, integration);
    if (cgats) {
        for (const measure::Colour& c : colours)
            for (double v : c.lab)
                if (!std::isfinite(v)) throw cli::Failure(set.path + ": a colour is not finite");
        cli::Warn(run.command, warnings);
        run.out.Write(measure::FormatColoursCgats(
            set, colours, integration,
            densities ? AllDensities(set) : std::vector<measure::Densities>{}));
        return cli::kExitOk;
    }
    const bool spectral = set.source == measure::ColourSource::Spectrum &&
                          integration.colour != measure::ColourChoice::Stated;
    cli::Report report;
    report.rows = PatchRows(set, colours, densities, scale, cli::DecimalsOf(format),
                            spectral && format == cli::Format::kCsv);
    report.rows.RequireFinite();
    cli::Warn(run.command, warnings);
    report.title = set.path + ": " + std::to_string(set.patches.size()) +
                   (set.patches.size() == 1 ? " patch" : " patches") + ", colour from " + colour +
                   "\n\n";
    report.head = {{"file", cli::Json::Text(set.path)},
                   {"table", cli::Json::Integer(set.table)},
                   {"colour", cli::Json::Text(colour)}};
    if (spectral) report.head.emplace_back("scale", cli::ScaleJson(set.scale));
    cli::Render(report, format, run.out);
    return cli::kExitOk;
}

std::vector<cli::Option> MeasureOptions() {
    std::vector<cli::Option> options = {
        cli::Flag("--densities",
                  "add the Status T and Status I densities (visual, red, green, blue); needs "
                  "spectra with samples at 400, 410, ..., 700 nm"),
        cli::Choice("--format", {"table", "csv", "json", "cgats"},
                    "how results are printed: an aligned table (default), CSV, JSON, or a CGATS "
                    "file of the colours (L*a*b*, XYZ, densities) whose keywords state the "
                    "illuminant, observer and white they are under, for other tools to read")};
    for (const cli::Option& o : cli::IntegrationOptions()) options.push_back(o);
    options.push_back(cli::ColourOption());
    for (const cli::Option& o : cli::SpectralScaleOptions("", "the file")) options.push_back(o);
    options.push_back(cli::ScaleOption().When("--format", {"table", "csv", "json"}, "table"));
    options.push_back(cli::TableOption("--table",
                                       "read the file's table N (from 1); the first by default, "
                                       "with a warning when the file holds more"));
    return options;
}

const cli::Register measure_command(
    {"measure",
     "colorimetry (and densities) of each patch of a CGATS measurement file",
     {"measure FILE"},
     MeasureOptions(),
     "Reads a CGATS.17 measurement file ('-' reads standard input) and prints, for each\n"
     "patch, its id, name and location, XYZ (percent scale, white Y = 100, unless --scale\n"
     "unit), L*a*b* and C*, h (hue in degrees). The first line of the table says where the\n"
     "colour came from and how; so do the JSON object and, for the scale of spectra, the\n"
     "last two CSV columns. The table has 2 decimals, csv and json 4; cgats writes the\n"
     "colours as a measurement file of their own.\n\n"
     "Columns are the fields BEGIN_DATA_FORMAT lists; a NUMBER_OF_FIELDS that disagrees is a\n"
     "warning, a data row with more or fewer values is refused. The colour comes from the\n"
     "spectral fields when the file has them (SPECTRAL_380, SPECTRAL_NM380, SPECTRAL_NM_380,\n"
     "NM380, SPEC_380, any case, evenly spaced), else from LAB_L LAB_A LAB_B, else from\n"
     "XYZ_X XYZ_Y XYZ_Z; --colour stated takes the stated values of a file with both. Stated\n"
     "colour is under the ILLUMINANT and OBSERVER the file states (D50 and 2 degrees where it\n"
     "states none) and relative to the ILLUMINANT_WHITE_POINT_XYZ it states, if any.\n\n"
     "The scale of spectral values (factors or percent) is --percent or --factors when\n"
     "given; else what the file states (SPECTRAL_NORM 1 or 100; CTI3 files hold percent;\n"
     "SPECT and CMF files without SPECTRAL_NORM hold factors); else percent when a value is\n"
     "above 2; else a guess, with a warning: percent when the values are written to\n"
     "hundredths, factors otherwise. Spectra of light (MEAS_TYPE EMISSION or AMBIENT, a\n"
     "DESCRIPTOR naming spectral power, a SPECTRAL_NORM other than 1 and 100, a CTI3 file of\n"
     "a display) and colour-matching functions are refused, with the reason.\n\n"
     "Spectra at exactly 400 to 700 nm every 10 nm take the library's D50 table (2 degree\n"
     "observer), L*a*b* relative to D50, unless --illuminant or --observer is given. All\n"
     "other spectra take the CIE's tables every 5 nm (D50 and 2 degrees unless chosen):\n"
     "spectra every 5 nm are integrated at 5 nm; spectra every 10 to 20 nm with weights that\n"
     "sum the 5 nm tables through Lagrange interpolation between the samples (ASTM E308's\n"
     "method for point samples), so that the lines of F2, F7 and F11 count in full; beyond\n"
     "its ends a spectrum stays at its first and last value. The perfect reflector is the\n"
     "CIE white, and L*a*b* is relative to it. Spectra must be every 5 to 20 nm and cover 400\n"
     "to 700 nm.\n\n"
     "A missing, unreadable or malformed file is exit status 1, with one line naming the\n"
     "file, and the line and field at fault.\n",
     "vantrel measure examples/reference.cgats --densities",
     RunMeasure});

}  // namespace
