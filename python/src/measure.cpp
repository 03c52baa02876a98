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

measure::Integration TakeIntegration(const std::string& illuminant, const std::string& observer) {
    measure::Integration integration;
    if (illuminant.empty() && observer.empty()) return integration;
    integration.cie = true;
    if (!illuminant.empty()) {
        const auto parsed = measure::ParseIlluminant(illuminant);
        if (!parsed) throw py::value_error("unknown illuminant '" + illuminant + "'");
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

void BindComparison(py::module_& m) {
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
        .def_property_readonly("statistics",
                               [](const BoundComparison& b) {
                                   const measure::Statistics& s = b.comparison.statistics;
                                   return py::dict(
                                       py::arg("count") = s.count, py::arg("mean") = s.mean,
                                       py::arg("median") = s.median, py::arg("p95") = s.p95,
                                       py::arg("max") = s.max, py::arg("std_dev") = s.stdDev,
                                       py::arg("worst") = s.worst);
                               })
        .def_property_readonly(
            "checks",
            [](const BoundComparison& b) {
                py::list checks;
                for (const auto& c : b.comparison.verdict.checks)
                    checks.append(py::make_tuple(c.name, c.limit, c.value, c.pass));
                return checks;
            })
        .def_property_readonly(
            "over_max", [](const BoundComparison& b) { return b.comparison.verdict.overMax; })
        .def_property_readonly("passed",
                               [](const BoundComparison& b) { return b.comparison.verdict.pass; })
        .def_property_readonly("worst_first", [](const BoundComparison& b) {
            return measure::WorstFirst(b.comparison.differences);
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
    m.def("colours", [](const measure::MeasurementSet& set, const std::string& illuminant,
                        const std::string& observer) {
        const measure::Integration integration = TakeIntegration(illuminant, observer);
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
    // pairBy empty: by SAMPLE_ID when both sets have it, else SAMPLE_NAME, else order, as the
    // command pairs; colour "auto", "spectra" or "stated"; paper empty: the lightest patch.
    m.def("compare", [](const measure::MeasurementSet& reference,
                        const measure::MeasurementSet& sample, const std::string& metric,
                        std::array<double, 5> factors, const std::string& illuminant,
                        const std::string& observer, std::optional<double> max,
                        std::optional<double> mean, std::optional<double> p95,
                        bool ignoreConditions, const std::string& pairBy, const std::string& colour,
                        bool relativeToPaper, const std::string& paper) {
        BoundComparison b{reference, sample, {}, {}};
        b.options.metric =
            TakeMetric(metric, factors[0], factors[1], factors[2], factors[3], factors[4]);
        b.options.integration = TakeIntegration(illuminant, observer);
        b.options.tolerances = {max, mean, p95};
        if (colour == "spectra")
            b.options.integration.colour = measure::ColourChoice::Spectra;
        else if (colour == "stated")
            b.options.integration.colour = measure::ColourChoice::Stated;
        else if (colour != "auto")
            throw py::value_error("colour must be 'auto', 'spectra' or 'stated', not '" + colour +
                                  "'");
        if (pairBy.empty()) {
            b.options.pairBy = reference.hasId && sample.hasId       ? measure::PairedBy::SampleId
                               : reference.hasName && sample.hasName ? measure::PairedBy::SampleName
                                                                     : measure::PairedBy::Order;
        } else if (const auto by = measure::ParsePairedBy(pairBy)) {
            b.options.pairBy = *by;
        } else {
            throw py::value_error("pair_by must be 'id', 'name', 'location' or 'order', not '" +
                                  pairBy + "'");
        }
        b.options.relativeToPaper = relativeToPaper;
        b.options.paper = paper;
        py::gil_scoped_release release;
        // As the vantrel command compares: both sets integrated alike, and a scale guessed for
        // one set settled by the other.
        if (!ignoreConditions) measure::CheckConditions(b.reference, b.sample);
        b.options.integration =
            measure::SharedIntegration(b.reference, b.sample, b.options.integration);
        measure::SettleGuessedScale(b.reference, b.sample, b.options);
        b.options.ignoreConditions = true;
        b.comparison = measure::Compare(b.reference, b.sample, b.options);
        return b;
    });
    m.def("write_report", [](const std::string& path, const BoundComparison& b) {
        py::gil_scoped_release release;
        measure::WriteReportPng(path, b.reference, b.sample, b.comparison, b.options);
    });
}

}  // namespace vpy
