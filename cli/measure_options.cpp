#include "measure_options.h"

namespace cli {

namespace measure = vantrel::measure;

measure::MetricChoice ParseMetric(Args& args) {
    measure::MetricChoice m;
    const std::string name = args.OptionValue("--metric", "2000");
    if (name == "2000")
        m.metric = measure::Metric::Ciede2000;
    else if (name == "94")
        m.metric = measure::Metric::Cie94;
    else if (name == "cmc")
        m.metric = measure::Metric::Cmc;
    else if (name == "ab")
        m.metric = measure::Metric::Cie76;
    else
        throw UsageError("option --metric: " + Quoted(name) + " is not 2000, 94, cmc or ab");

    const bool weighted =
        m.metric == measure::Metric::Ciede2000 || m.metric == measure::Metric::Cie94;
    struct Factor {
        const char* option;
        bool applies;
        const char* metrics;
        double* target;
    };
    const Factor factors[] = {{"--kl", weighted, "2000 or 94", &m.kL},
                              {"--kc", weighted, "2000 or 94", &m.kC},
                              {"--kh", weighted, "2000 or 94", &m.kH},
                              {"--l", m.metric == measure::Metric::Cmc, "cmc", &m.l},
                              {"--c", m.metric == measure::Metric::Cmc, "cmc", &m.c}};
    for (const Factor& f : factors) {
        auto value = args.Option(f.option, 1);
        if (value.empty()) continue;
        if (!f.applies)
            throw UsageError(std::string("option ") + f.option + " applies to --metric " +
                             f.metrics);
        // CIEDE2000 is computed in double precision; the library's other metrics take their
        // factors in single precision.
        const std::string what = std::string("option ") + f.option;
        *f.target = m.metric == measure::Metric::Ciede2000 ? ParseDouble(value[0], what, kPositive)
                                                           : ParseFloat(value[0], what, kPositive);
    }
    return m;
}

measure::Integration ParseIntegration(Args& args) {
    measure::Integration integration;
    const std::string illuminant = args.OptionValue("--illuminant", "");
    const std::string observer = args.OptionValue("--observer", "");
    if (illuminant.empty() && observer.empty()) return integration;
    integration.cie = true;
    if (!illuminant.empty()) {
        auto parsed = measure::ParseIlluminant(illuminant);
        if (!parsed)
            throw UsageError("option --illuminant: " + Quoted(illuminant) +
                             " is not D50, D65, A, C, F2, F7 or F11");
        integration.illuminant = *parsed;
    }
    if (!observer.empty()) {
        auto parsed = measure::ParseObserver(observer);
        if (!parsed) throw UsageError("option --observer: " + Quoted(observer) + " is not 2 or 10");
        integration.observer = *parsed;
    }
    return integration;
}

}  // namespace cli
