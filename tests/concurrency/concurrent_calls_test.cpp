// The library called from several threads at once: each thread's results are those of the
// same calls made alone. Built with -DVANTREL_TSAN=ON, ThreadSanitizer also checks that no
// two threads touch shared state without ordering (ctest -L concurrency).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"
#include "vantrel/linalg.h"
#include "vantrel/settings.h"
#include "vantrel/text.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 50;

// Runs work(thread) for each thread alone, then on kThreads threads at once, each kRounds times:
// each thread's last results must be those it had alone.
template <typename Result>
void ExpectSameAsAlone(const std::function<Result(int thread)>& work) {
    std::vector<Result> alone(kThreads), together(kThreads);
    for (int t = 0; t < kThreads; ++t) alone[t] = work(t);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) together[t] = work(t);
        });
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(together[t], alone[t]) << "thread " << t;
}

// Float results compared bit for bit.
std::string Bits(const float* values, size_t count) {
    return std::string(reinterpret_cast<const char*>(values), count * sizeof(float));
}

TEST(Concurrency, ChromaticAdaptWithEveryAlgorithm) {
    // Each thread its own pair of whites, so that a memo shared between threads would mix them.
    ExpectSameAsAlone<std::string>([](int t) {
        const float source[3] = {0.9505f + 0.01f * t, 1.0f, 1.089f - 0.02f * t};
        const float destination[3] = {0.9642f, 1.0f, 0.8249f + 0.01f * t};
        std::string bits;
        for (int algorithm = 0; algorithm <= 5; ++algorithm) {
            float colors[6] = {0.2f, 0.3f, 0.4f + 0.05f * t, 0.9f, 0.8f, 0.1f};
            ChromaticAdapt(source, destination, colors, 2,
                           static_cast<EChromaticAdaptationAlgorithm>(algorithm));
            bits += Bits(colors, 6);
        }
        return bits;
    });
}

TEST(Concurrency, LinSolve) {
    ExpectSameAsAlone<std::string>([](int t) {
        const int n = 12 + t;
        std::vector<float> storage(static_cast<size_t>(n * n));
        std::vector<float*> rows(static_cast<size_t>(n));
        std::vector<float> b(static_cast<size_t>(n)), x(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            rows[i] = &storage[static_cast<size_t>(i * n)];
            for (int j = 0; j < n; ++j) rows[i][j] = 1.0f / static_cast<float>(i + j + 1 + t);
            rows[i][i] += 2.0f;
            b[i] = static_cast<float>(i - t);
        }
        int kind = -1;
        short status = LinSolve(rows.data(), b.data(), n, x.data(), kind);
        return std::to_string(status) + "/" + std::to_string(kind) + "/" + Bits(x.data(), x.size());
    });
}

TEST(Concurrency, PreferenceStoreOnDifferentFiles) {
    std::vector<testing_support::TempDir> dirs(kThreads);
    ExpectSameAsAlone<std::string>([&dirs](int t) {
        const std::string path = dirs[t].File("prefs");
        FM_FILESPEC spec = dirs[t].Spec("prefs");
        std::string report = std::to_string(CreateDefaultPreferenceFile_NoMeterOptions(&spec));
        const std::string mine = "thread " + std::to_string(t);
        report +=
            "/" + std::to_string(WritePreference(&spec, static_cast<PF_Signature>(7), mine.data(),
                                                 static_cast<std::int32_t>(mine.size())));
        CMeterSettings meter(CString(std::wstring(path.begin(), path.end())));
        meter.m_nCode2 = t;
        meter.Update(false);
        meter.m_nCode2 = -1;
        meter.Update(true);
        report += "/" + std::to_string(meter.m_nCode2);
        report += IsPreferenceFileVersionUpdated(&spec) ? "/updated" : "/old";
        char* data = nullptr;
        std::int32_t size = 0;
        report +=
            "/" + std::to_string(ReadPreference(&spec, static_cast<PF_Signature>(7), &data, &size));
        report += "/" + std::string(data ? data : "", static_cast<size_t>(size));
        delete[] data;
        return report + "/" + std::to_string(testing_support::ReadFile(path).size());
    });
}

TEST(Concurrency, TextFunctions) {
    ExpectSameAsAlone<std::wstring>([](int t) {
        std::wstring out;
        wchar_t buffer[64];
        GetLocalDitherStrByDitherID(nullptr, 7 - t, buffer, 64);  // the default array
        out += buffer;
        GetEnglishDitherStrByDitherID(nullptr, t, buffer, 64);
        out += buffer;
        GetResolutionString(720.0f / static_cast<float>(t + 1), 360.0f, buffer, 64);
        out += buffer;
        CString name(L"  profile " + std::to_wstring(t) + L"  ");
        out += std::to_wstring(MakeValidICCFilename(name, 0)) + name.str();
        out += std::to_wstring(IsValidICCFilename(name));
        out += GetFileExt(CString(L"A (*.a)|*.a|B (*.b" + std::to_wstring(t) + L")|*.b|"), 1, L'|')
                   .str();
        const CString path(L"C:\\dir" + std::to_wstring(t) + L"\\\\file.icc");
        out += GetDirectory(path).str() + GetFilename(path).str();
        CString progress;
        GetProgressMessageText(static_cast<short>(t * 10), progress);
        out += progress.str();
        wchar_t now[128];
        GetCurrentTimeStr(now);
        out += now[0] != 0 ? L"time" : L"no time";
        return out;
    });
}

}  // namespace
