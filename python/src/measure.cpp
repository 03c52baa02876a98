// The measurement library for Python: reading CGATS files, their colours and the comparison of
// two, bound thinly; vantrel/measure.py turns them into Python values. A measurement error
// becomes vantrel.measure.MeasureError (a ValueError) carrying the file, line and field.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <functional>
#include <optional>

#include "core.h"
#include "vantrel/measure.h"

namespace py = pybind11;
namespace measure = vantrel::measure;

namespace {

// A comparison with the sets and options it was made with (a guessed spectral scale settled
// by the other set), which its picture needs again.
struct BoundComparison {
    measure::MeasurementSet reference, sample;
    measure::Comparison comparison;
    measure::CompareOptions options;
};

py::array_t<double> Rows(std::size_t n, const std::function<const double*(std::size_t)>& row) {
    py::array_t<double> a({static_cast<py::ssize_t>(n), py::ssize_t{3}});
    double* out = a.mutable_data();
    for (std::size_t k = 0; k < n; ++k) std::copy(row(k), row(k) + 3, out + 3 * k);
    return a;
}

// colour: "auto" (the spectra when the set has them, else the colour it states), "spectra" or
// "stated".
measure::Integration TakeIntegration(const std::string& illuminant, const std::string& observer,
                                     const std::string& colour = "auto") {
    measure::Integration integration;
    if (colour == "spectra")
        integration.colour = measure::ColourChoice::Spectra;
    else if (colour == "stated")
        integration.colour = measure::ColourChoice::Stated;
    else if (colour != "auto")
        throw py::value_error("colour must be 'auto', 'spectra' or 'stated', not '" + colour + "'");
    if (illuminant.empty() && observer.empty()) return integration;
    integration.cie = true;
    if (!illuminant.empty()) {
        const auto parsed = measure::ParseIlluminant(illuminant);
        if (!parsed)
            throw py::value_error("unknown illuminant '" + illuminant +
                                  "' (D50, D65, A, C, F2, F7 or F11)");
        integration.illuminant = *parsed;
    }
    if (!observer.empty()) {
        const auto parsed = measure::ParseObserver(observer);
        if (!parsed) throw py::value_error("unknown observer '" + observer + "' (2 or 10)");
        integration.observer = *parsed;
    }
    return integration;
}

const char* SourceName(measure::ColourSource source) {
    switch (source) {
        case measure::ColourSource::Spectrum:
            return "spectrum";
        case measure::ColourSource::Xyz:
            return "xyz";
        case measure::ColourSource::Lab:
            return "lab";
    }
    return "";
}

void BindMeasurementSet(py::module_& m) {
    using Set = measure::MeasurementSet;
    py::class_<Set>(m, "MeasurementSet")
        .def_readonly("path", &Set::path)
        .def_readonly("table", &Set::table)
        .def_readonly("table_count", &Set::tableCount)
        .def_property_readonly("source", [](const Set& s) { return SourceName(s.source); })
        .def_readonly("keywords", &Set::keywords)
        .def_property_readonly("conditions",
                               [](const Set& s) {
                                   const measure::Conditions& c = s.conditions;
                                   return py::dict(
                                       py::arg("illuminant") = c.illuminant,
                                       py::arg("observer") = c.observer,
                                       py::arg("measurement_condition") = c.measurementCondition,
                                       py::arg("filter") = c.filter);
                               })
        .def_property_readonly("ids",
                               [](const Set& s) {
                                   std::vector<std::string> v;
                                   for (const auto& p : s.patches) v.push_back(p.id);
                                   return v;
                               })
        .def_property_readonly("locations",
                               [](const Set& s) {
                                   std::vector<std::string> v;
                                   for (const auto& p : s.patches) v.push_back(p.location);
                                   return v;
                               })
        .def_property_readonly("names",
                               [](const Set& s) {
                                   std::vector<std::string> v;
                                   for (const auto& p : s.patches) v.push_back(p.name);
                                   return v;
                               })
        .def_property_readonly("lines",
                               [](const Set& s) {
                                   std::vector<int> v;
                                   for (const auto& p : s.patches) v.push_back(p.line);
                                   return py::array_t<int>(v.size(), v.data());
                               })
        .def_property_readonly("values",
                               [](const Set& s) {
                                   return Rows(s.patches.size(), [&](std::size_t k) {
                                       return s.patches[k].values.data();
                                   });
                               })
        .def_readonly("file_type", &Set::fileType)
        .def_readonly("first_nm", &Set::firstNm)
        .def_readonly("last_nm", &Set::lastNm)
        .def_readonly("step_nm", &Set::stepNm)
        .def_property_readonly(
            "scale",
            [](const Set& s) {
                static const char* const kBases[] = {"told", "stated", "data", "guess"};
                return py::make_tuple(measure::ScaleName(s.scale.scale),
                                      kBases[static_cast<int>(s.scale.basis)],
                                      measure::DescribeScale(s.scale));
            })
        .def_property_readonly(
            "content",
            [](const Set& s) {
                static const char* const kContents[] = {"surface", "light", "matching functions"};
                return kContents[static_cast<int>(s.content)];
            })
        .def_property_readonly(
            "spectra",
            [](const Set& s) {
                const py::ssize_t n = static_cast<py::ssize_t>(s.patches.size());
                return py::array_t<float>({n, py::ssize_t{s.SampleCount()}}, s.spectra.data());
            })
        .def_readonly("warnings", &Set::warnings)
        .def("label", &measure::PatchLabel)
        .def("format", &measure::FormatCgats);
}

py::dict StatisticsOf(const measure::Statistics& s) {
    return py::dict(py::arg("count") = s.count, py::arg("mean") = s.mean,
                    py::arg("median") = s.median, py::arg("p95") = s.p95, py::arg("max") = s.max,
                    py::arg("std_dev") = s.stdDev, py::arg("worst") = s.worst);
}

py::list ChecksOf(const measure::Verdict& verdict) {
    py::list checks;
    for (const auto& c : verdict.checks)
        checks.append(py::make_tuple(c.name, c.limit, c.value, c.pass));
    return checks;
}

py::array_t<std::int64_t> Indices(const std::vector<std::size_t>& indices) {
    py::array_t<std::int64_t> a(static_cast<py::ssize_t>(indices.size()));
    std::copy(indices.begin(), indices.end(), a.mutable_data());
    return a;
}

void BindComparison(py::module_& m) {
    py::class_<measure::ToleranceProfile>(m, "ToleranceProfile")
        .def_readonly("path", &measure::ToleranceProfile::path)
        .def_readonly("paper", &measure::ToleranceProfile::paper);
    py::class_<BoundComparison>(m, "Comparison")
        .def_property_readonly(
            "paired_by",
            [](const BoundComparison& b) { return measure::PairedByName(b.comparison.pairing.by); })
        .def_property_readonly(
            "warnings", [](const BoundComparison& b) { return b.comparison.pairing.warnings; })
        .def_property_readonly("metric",
                               [](const BoundComparison& b) {
                                   return py::make_tuple(
                                       measure::MetricLabel(b.options.metric),
                                       measure::MetricParameters(b.options.metric));
                               })
        .def_property_readonly(
            "pairs",
            [](const BoundComparison& b) {
                const auto& p = b.comparison.patches;
                py::array_t<std::int64_t> a({static_cast<py::ssize_t>(p.size()), py::ssize_t{2}});
                auto r = a.mutable_unchecked<2>();
                for (std::size_t k = 0; k < p.size(); ++k) {
                    r(k, 0) = static_cast<std::int64_t>(p[k].reference);
                    r(k, 1) = static_cast<std::int64_t>(p[k].sample);
                }
                return a;
            })
        .def_property_readonly(
            "labs",
            [](const BoundComparison& b) {
                const auto& p = b.comparison.patches;
                return py::make_tuple(
                    Rows(p.size(), [&](std::size_t k) { return p[k].referenceLab.data(); }),
                    Rows(p.size(), [&](std::size_t k) { return p[k].sampleLab.data(); }));
            })
        .def_property_readonly(
            "components",
            [](const BoundComparison& b) {
                const auto& p = b.comparison.patches;
                std::vector<double> v;
                for (const auto& c : p)
                    v.insert(v.end(), {c.components.dL, c.components.dC, c.components.dH});
                return Rows(p.size(), [&](std::size_t k) { return &v[3 * k]; });
            })
        .def_property_readonly("differences",
                               [](const BoundComparison& b) {
                                   const auto& d = b.comparison.differences;
                                   return py::array_t<double>(d.size(), d.data());
                               })
        .def_property_readonly(
            "statistics",
            [](const BoundComparison& b) { return StatisticsOf(b.comparison.statistics); })
        .def_property_readonly(
            "checks", [](const BoundComparison& b) { return ChecksOf(b.comparison.verdict); })
        .def_property_readonly(
            "over_max", [](const BoundComparison& b) { return b.comparison.verdict.overMax; })
        .def_property_readonly("passed",
                               [](const BoundComparison& b) { return b.comparison.verdict.pass; })
        .def_property_readonly(
            "worst_first",
            [](const BoundComparison& b) { return measure::WorstFirst(b.comparison.differences); })
        .def_property_readonly("paper",
                               [](const BoundComparison& b) -> py::object {
                                   if (!b.comparison.paper) return py::none();
                                   return py::make_tuple(b.comparison.paper->first,
                                                         b.comparison.paper->second);
                               })
        .def_property_readonly("groups", [](const BoundComparison& b) {
            py::list groups;
            for (const measure::GroupResult& g : b.comparison.groups)
                groups.append(py::make_tuple(
                    g.name, Indices(g.members),
                    py::array_t<double>(g.differences.size(), g.differences.data()),
                    StatisticsOf(g.statistics), ChecksOf(g.verdict), g.verdict.pass));
            return groups;
        });
}

measure::MetricChoice TakeMetric(const std::string& name, double kL, double kC, double kH, double l,
                                 double c) {
    measure::MetricChoice metric;
    if (name == "CIEDE2000")
        metric.metric = measure::Metric::Ciede2000;
    else if (name == "CIE94")
        metric.metric = measure::Metric::Cie94;
    else if (name == "CMC")
        metric.metric = measure::Metric::Cmc;
    else if (name == "CIE76")
        metric.metric = measure::Metric::Cie76;
    else
        throw py::value_error("unknown metric '" + name + "' (CIEDE2000, CIE94, CMC or CIE76)");
    metric.kL = kL, metric.kC = kC, metric.kH = kH, metric.l = l, metric.c = c;
    return metric;
}

}  // namespace

namespace vpy {

void AddMeasureFunctions(py::module_& m) {
    static py::exception<measure::Error> error(m, "MeasureError", PyExc_ValueError);
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) std::rethrow_exception(thrown);
        } catch (const measure::Error& e) {
            py::object instance = py::reinterpret_borrow<py::object>(error)(e.what());
            instance.attr("file") = e.where().file;
            instance.attr("line") = e.where().line;
            instance.attr("field") = e.where().field;
            PyErr_SetObject(error.ptr(), instance.ptr());
        }
    });
    BindMeasurementSet(m);
    BindComparison(m);
    // The scale of spectral values: "percent", "factors", or empty to let the file decide.
    auto options = [](int table, const std::string& scale) {
        if (scale.empty()) return measure::ReadOptions(table);
        if (scale != "percent" && scale != "factors")
            throw py::value_error("scale must be 'percent' or 'factors', not '" + scale + "'");
        return measure::ReadOptions(table, scale == "percent" ? measure::SpectralScale::Percent
                                                              : measure::SpectralScale::Factors);
    };
    m.def("parse_cgats", [options](const std::string& text, const std::string& name, int table,
                                   const std::string& scale) {
        const measure::ReadOptions read = options(table, scale);
        py::gil_scoped_release release;
        return measure::ParseCgats(text, name, read);
    });
    m.def("read_cgats_file",
          [options](const std::string& path, int table, const std::string& scale) {
              const measure::ReadOptions read = options(table, scale);
              py::gil_scoped_release release;
              return measure::ReadCgats(path, read);
          });
    // Spectra (n, 31) of factors at 400 to 700 nm as one set of n patches, integrated as the
    // command's spectrum subcommand integrates one: XYZ (n, 3) on the percent scale.
    m.def("spectra_to_xyz",
          [](py::array_t<float, py::array::c_style | py::array::forcecast> spectra,
             const std::string& illuminant, const std::string& observer) {
              const measure::Integration integration = TakeIntegration(illuminant, observer);
              measure::MeasurementSet set;
              set.source = measure::ColourSource::Spectrum;
              set.firstNm = 400, set.lastNm = 700, set.stepNm = 10;
              set.scale = {measure::SpectralScale::Factors, measure::ScaleBasis::Told, "factors"};
              set.patches.resize(static_cast<std::size_t>(spectra.shape(0)));
              set.spectra.assign(spectra.data(), spectra.data() + spectra.size());
              std::vector<measure::Colour> colours;
              {
                  py::gil_scoped_release release;
                  colours = measure::Colours(set, integration);
              }
              return Rows(colours.size(), [&](std::size_t k) { return colours[k].xyz.data(); });
          });
    // Status T and Status I densities (n, 4) of every patch.
    m.def("densities", [](const measure::MeasurementSet& set) {
        const auto n = static_cast<py::ssize_t>(set.patches.size());
        py::array_t<float> t({n, py::ssize_t{4}}), i({n, py::ssize_t{4}});
        float *ts = t.mutable_data(), *is = i.mutable_data();
        {
            py::gil_scoped_release release;
            for (std::size_t k = 0; k < set.patches.size(); ++k) {
                const measure::Densities d = measure::DensitiesOf(set, k);
                std::copy(d.statusT.begin(), d.statusT.end(), ts + 4 * k);
                std::copy(d.statusI.begin(), d.statusI.end(), is + 4 * k);
            }
        }
        return py::make_tuple(t, i);
    });
    m.def("colours", [](const measure::MeasurementSet& set, const std::string& illuminant,
                        const std::string& observer, const std::string& colour) {
        const measure::Integration integration = TakeIntegration(illuminant, observer, colour);
        std::vector<measure::Colour> colours;
        {
            py::gil_scoped_release release;
            colours = measure::Colours(set, integration);
        }
        return py::make_tuple(
            Rows(colours.size(), [&](std::size_t k) { return colours[k].xyz.data(); }),
            Rows(colours.size(), [&](std::size_t k) { return colours[k].lab.data(); }),
            measure::DescribeColour(set, integration));
    });
    m.def("read_tolerance_profile", [](const std::string& path) {
        py::gil_scoped_release release;
        return measure::ReadToleranceProfile(path);
    });
    m.def("parse_tolerance_profile", &measure::ParseToleranceProfile);
    // As the vantrel command compares (CompareFiles): both sets integrated alike, a scale
    // guessed for one settled by the other, the pairs (pairBy "id", "name", "location" or
    // "order") measured and judged, by group with a profile; `paper`, when given, names the
    // paper white of the profile's groups too, and the lightest patch is taken otherwise.
    m.def("compare",
          [](const measure::MeasurementSet& reference, const measure::MeasurementSet& sample,
             const std::string& metric, std::array<double, 5> factors,
             const std::string& illuminant, const std::string& observer, std::optional<double> max,
             std::optional<double> mean, std::optional<double> p95, bool ignoreConditions,
             const std::string& pairBy, const std::string& colour, bool relativeToPaper,
             const std::string& paper, std::optional<measure::ToleranceProfile> profile) {
              measure::CompareOptions options;
              options.metric =
                  TakeMetric(metric, factors[0], factors[1], factors[2], factors[3], factors[4]);
              options.integration = TakeIntegration(illuminant, observer, colour);
              options.tolerances = {max, mean, p95};
              options.ignoreConditions = ignoreConditions;
              const auto by = measure::ParsePairedBy(pairBy);
              if (!by)
                  throw py::value_error(
                      "pair_by must be 'id', 'name', 'location' or 'order', not '" + pairBy + "'");
              options.pairBy = *by;
              options.relativeToPaper = relativeToPaper;
              options.paper = paper;
              options.profile = std::move(profile);
              if (options.profile && !paper.empty()) options.profile->paper = paper;
              py::gil_scoped_release release;
              measure::FileComparison f =
                  measure::CompareFiles([&] { return reference; }, [&] { return sample; }, options);
              options.integration = f.integration;
              return BoundComparison{std::move(f.reference), std::move(f.sample),
                                     std::move(f.comparison), std::move(options)};
          });
    m.def("write_report", [](const std::string& path, const BoundComparison& b, int width) {
        py::gil_scoped_release release;
        measure::WriteReportPng(path, b.reference, b.sample, b.comparison, b.options, width);
    });
}

}  // namespace vpy
