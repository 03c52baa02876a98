// The picture of a comparison: a title, a legend and a histogram of the differences with the
// tolerance limits over a grid of split swatches (reference left, sample right), each labelled
// with its patch and difference. Drawn on a pixel surface of the platform with its bitmap font
// and written as PNG.
#include <fcntl.h>
#include <unistd.h>
#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"
#include "vantrel_platform/gdi.h"
#include "vantrel_platform/stringapiset.h"
#include "vantrel_platform/window.h"

namespace vantrel::measure {

namespace {

// A neutral mid-grey surround, as colours are judged against, with light text on it.
constexpr COLORREF kBackground = RGB(90, 90, 90);
constexpr COLORREF kText = RGB(240, 240, 240);
constexpr COLORREF kDimText = RGB(180, 180, 180);
constexpr COLORREF kFrame = RGB(40, 40, 40);
constexpr COLORREF kOutline = RGB(255, 48, 48);
constexpr COLORREF kBar = RGB(200, 200, 200);
constexpr COLORREF kPass = RGB(120, 230, 120);
// Tolerance limits in the histogram: max, mean, p95.
constexpr COLORREF kLimitColours[] = {RGB(255, 48, 48), RGB(255, 220, 60), RGB(255, 150, 40)};
constexpr int kOutlineGap = 2;    // between a swatch and its outline
constexpr int kOutlineWidth = 3;  // outline thickness

// The platform's bitmap font at pixel height 16 draws its 5x7 glyphs at scale 2: 12 pixels a
// character, 16 a line.
constexpr LONG kFontHeight = 16;
constexpr int kCharWidth = 12;
constexpr int kLineHeight = 16;
constexpr int kLineGap = 6;

constexpr int kMargin = 16;
constexpr int kCellWidth = 112;
constexpr int kCellHeight = 116;
constexpr int kSwatchX = 12;  // swatch offset inside its cell
constexpr int kSwatchY = 8;
constexpr int kSwatchWidth = 88;
constexpr int kSwatchHeight = 60;
constexpr int kLabelChars = kCellWidth / kCharWidth - 1;
constexpr int kMinWidth = 816;  // room for the legend and a readable histogram
constexpr int kHistogramHeight = 120;
constexpr int kHistogramBins = 40;
constexpr int kTextLines = 6;  // two files, metric, summary, verdict, legend
constexpr int kHeader = kMargin + kTextLines * (kLineHeight + kLineGap) + kLineGap +
                        kHistogramHeight + 2 * (kLineHeight + kLineGap);
// The part of the worst patches that is outlined: a tenth.
constexpr std::size_t kOutlinedShare = 10;

// Marks where a shortened text is cut; drawn as three dots in one character cell.
constexpr wchar_t kEllipsis = L'\x01';

// UTF-8 to one code unit per character; characters outside ASCII, control characters and
// bytes that are not UTF-8 become U+FFFD, which the font draws as a box.
std::wstring Widen(const std::string& text) {
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(units), L'\0');
    if (units)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], units);
    for (wchar_t& c : out)
        if (c < 0x20 || c >= 0x80) c = L'\uFFFD';
    return out;
}

// Text of at most `chars` characters: a longer one keeps its start and end around an
// ellipsis (ids tend to differ at their end, paths at both).
std::wstring Shorten(const std::wstring& text, std::size_t chars) {
    if (text.size() <= chars || chars < 3) return text;
    const std::size_t tail = (chars - 1) / 2 + (chars - 1) % 2;
    const std::size_t head = chars - 1 - tail;
    return text.substr(0, head) + kEllipsis + text.substr(text.size() - tail);
}

std::string Fixed(double value, int decimals = 2) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// A window of the platform stand-in used as an off-screen pixel surface.
class Canvas {
  public:
    Canvas(int width, int height)
        : window_(
              vplatform::CreateWindow(vplatform::WindowKind::Generic, nullptr, 0, width, height)),
          dc_(GetDC(window_)) {
        if (!dc_) return;
        LOGFONTW font{};
        font.lfHeight = -kFontHeight;
        font_.CreateFontIndirect(&font);
        CDC::FromHandle(dc_)->SelectObject(&font_);
        SetBkMode(dc_, TRANSPARENT);
        Fill(0, 0, width, height, kBackground);
    }
    ~Canvas() {
        if (dc_) ReleaseDC(window_, dc_);
        DestroyWindow(window_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ready() const { return dc_ != nullptr; }

    void Fill(int x, int y, int w, int h, COLORREF colour) {
        CDC::FromHandle(dc_)->FillSolidRect(x, y, w, h, colour);
    }

    // A frame of `thickness` pixels drawn inside the rectangle.
    void Frame(int x, int y, int w, int h, int thickness, COLORREF colour) {
        Fill(x, y, w, thickness, colour);
        Fill(x, y + h - thickness, w, thickness, colour);
        Fill(x, y, thickness, h, colour);
        Fill(x + w - thickness, y, thickness, h, colour);
    }

    // One line of text with its top at y, starting at x; an ellipsis mark becomes three dots.
    // Returns the x after it.
    int Text(int x, int y, const std::wstring& line, COLORREF colour) {
        SetTextColor(dc_, colour);
        std::size_t start = 0;
        while (start <= line.size()) {
            std::size_t stop = line.find(kEllipsis, start);
            if (stop == std::wstring::npos) stop = line.size();
            RECT box{x, y, x, y + kLineHeight};
            DrawTextW(dc_, line.c_str() + start, static_cast<int>(stop - start), &box,
                      DT_LEFT | DT_SINGLELINE | DT_TOP | DT_NOCLIP);
            x += static_cast<int>(stop - start) * kCharWidth;
            if (stop == line.size()) break;
            for (int dot = 0; dot < 3; ++dot) Fill(x + 1 + 4 * dot, y + 12, 2, 2, colour);
            x += kCharWidth;
            start = stop + 1;
        }
        return x;
    }

    void CentredText(int centre, int y, const std::wstring& line, COLORREF colour) {
        Text(centre - static_cast<int>(line.size()) * kCharWidth / 2, y, line, colour);
    }

    bool Save(const std::string& path) const {
        return vplatform::SaveSurfacePng(window_, path.c_str());
    }

  private:
    HWND window_;
    HDC dc_;
    CFont font_;
};

std::array<std::uint8_t, 3> Srgb255(const std::array<double, 3>& lab) {
    float rgb[3];
    LAB2SRGB(static_cast<float>(lab[0]), static_cast<float>(lab[1]), static_cast<float>(lab[2]),
             &rgb[0], &rgb[1], &rgb[2]);
    std::array<std::uint8_t, 3> out;
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<std::uint8_t>(std::lround(std::clamp(rgb[k], 0.0f, 1.0f) * 255.0f));
    return out;
}

COLORREF ToColorref(const std::array<std::uint8_t, 3>& c) {
    return RGB(c[0], c[1], c[2]);
}

// Where everything goes. The grid has `columns` cells per row; swatch k of the shown ones sits
// in cell (k % columns, k / columns).
struct Layout {
    int columns = 1;
    int rows = 1;
    int width = 0;
    int height = 0;
    std::size_t shown = 0;  // patches drawn; the rest are left out

    explicit Layout(std::size_t count) {
        const int maxColumns = (kReportMaxSize - 2 * kMargin) / kCellWidth;
        const int maxRows = (kReportMaxSize - kHeader - kMargin) / kCellHeight;
        shown = std::min(count, static_cast<std::size_t>(maxColumns) * maxRows);
        const int n = static_cast<int>(std::max<std::size_t>(shown, 1));
        // Roughly three columns for every two rows, as a sheet of paper.
        const int natural = static_cast<int>(std::ceil(std::sqrt(1.5 * n)));
        columns = std::clamp(natural, 1, maxColumns);
        rows = (n + columns - 1) / columns;
        width = std::max(kMinWidth, 2 * kMargin + columns * kCellWidth);
        height = kHeader + rows * kCellHeight + kMargin;
    }

    std::size_t TextChars() const {
        return static_cast<std::size_t>((width - 2 * kMargin) / kCharWidth);
    }
    int SwatchX(std::size_t k) const {
        return kMargin + static_cast<int>(k % static_cast<std::size_t>(columns)) * kCellWidth +
               kSwatchX;
    }
    int SwatchY(std::size_t k) const {
        return kHeader + static_cast<int>(k / static_cast<std::size_t>(columns)) * kCellHeight +
               kSwatchY;
    }
};

class ReportPainter {
  public:
    ReportPainter(Canvas& canvas, const Layout& layout, const MeasurementSet& reference,
                  const MeasurementSet& sample, const Comparison& comparison,
                  const CompareOptions& options)
        : canvas_(canvas),
          layout_(layout),
          reference_(reference),
          sample_(sample),
          comparison_(comparison),
          options_(options) {}

    void Paint() {
        int y = kMargin;
        PaintTitle(y);
        PaintLegend(y);
        PaintHistogram(y);
        PaintSwatches(y);
    }

  private:
    void Line(int& y, const std::string& text, COLORREF colour = kText) {
        canvas_.Text(kMargin, y, Shorten(Widen(text), layout_.TextChars()), colour);
        y += kLineHeight + kLineGap;
    }

    void PaintTitle(int& y) {
        Line(y, "reference  " + reference_.path);
        Line(y, "sample     " + sample_.path);
        const Statistics& s = comparison_.statistics;
        std::string metric = MetricLabel(options_.metric);
        const std::string parameters = MetricParameters(options_.metric);
        if (!parameters.empty()) metric += " (" + parameters + ")";
        Line(y, metric + ", " + std::to_string(s.count) + " patches paired by " +
                    PairedByName(comparison_.pairing.by));
        Line(y, "mean " + Fixed(s.mean) + "  sd " + Fixed(s.stdDev) + "  p95 " + Fixed(s.p95) +
                    "  max " + Fixed(s.max) + " (" +
                    PatchLabel(reference_, comparison_.patches[s.worst].reference) + ")");
        const Verdict& verdict = comparison_.verdict;
        if (verdict.checks.empty()) {
            Line(y, "no tolerance given", kDimText);
            return;
        }
        std::string text = verdict.pass ? "PASS:" : "FAIL:";
        for (const LimitCheck& check : verdict.checks)
            text += "  " + check.name + " " + Fixed(check.limit) + (check.pass ? " pass" : " FAIL");
        if (options_.tolerances.max) text += "  " + std::to_string(verdict.overMax) + " over max";
        Line(y, text, verdict.pass ? kPass : kOutline);
    }

    void PaintLegend(int& y) {
        int x = kMargin;
        canvas_.Frame(x, y, 34, kLineHeight, 1, kFrame);
        canvas_.Fill(x + 1, y + 1, 16, kLineHeight - 2, RGB(150, 150, 150));
        canvas_.Fill(x + 17, y + 1, 16, kLineHeight - 2, RGB(200, 200, 200));
        x = canvas_.Text(x + 42, y, L"reference | sample (sRGB)", kText) + 24;
        canvas_.Frame(x, y, 30, kLineHeight, kOutlineWidth, kOutline);
        x = canvas_.Text(x + 38, y, L"worst tenth", kText) + 24;
        canvas_.Fill(x, y, 3, kLineHeight, kLimitColours[0]);
        canvas_.Text(x + 10, y, L"tolerances", kText);
        y += kLineHeight + 2 * kLineGap;
    }

    void PaintHistogram(int& y) {
        const std::vector<double>& d = comparison_.differences;
        double top = comparison_.statistics.max;
        for (const LimitCheck& check : comparison_.verdict.checks) top = std::max(top, check.limit);
        top = top > 0 ? top * 1.05 : 1.0;
        std::vector<std::size_t> bins(kHistogramBins, 0);
        for (double value : d) {
            const auto bin = static_cast<std::size_t>(value / top * kHistogramBins);
            ++bins[std::min<std::size_t>(bin, kHistogramBins - 1)];
        }
        const std::size_t tallest = *std::max_element(bins.begin(), bins.end());
        const int left = kMargin, width = layout_.width - 2 * kMargin;
        const int base = y + kHistogramHeight;
        canvas_.Text(left, y,
                     Widen(MetricLabel(options_.metric) + " histogram, tallest bar " +
                           std::to_string(tallest) + " patches"),
                     kDimText);
        const int barTop = y + kLineHeight + kLineGap;
        for (int i = 0; i < kHistogramBins; ++i) {
            const int x0 = left + i * width / kHistogramBins;
            const int x1 = left + (i + 1) * width / kHistogramBins;
            const int h = static_cast<int>(
                std::lround(static_cast<double>(bins[static_cast<std::size_t>(i)]) / tallest *
                            (base - barTop)));
            if (h > 0) canvas_.Fill(x0 + 1, base - h, x1 - x0 - 2, h, kBar);
        }
        canvas_.Fill(left, base, width, 2, kDimText);
        std::size_t line = 0;
        for (const LimitCheck& check : comparison_.verdict.checks) {
            const COLORREF colour = check.name == "max"    ? kLimitColours[0]
                                    : check.name == "mean" ? kLimitColours[1]
                                                           : kLimitColours[2];
            const int x = left + static_cast<int>(check.limit / top * width);
            canvas_.Fill(x - 1, barTop, 3, base - barTop, colour);
            const std::wstring label = Widen(check.name + " " + Fixed(check.limit));
            // Right of its line, or left of it where the picture ends.
            const int labelWidth = static_cast<int>(label.size()) * kCharWidth;
            const int labelX =
                x + 6 + labelWidth <= layout_.width - kMargin ? x + 6 : x - 6 - labelWidth;
            canvas_.Text(labelX, barTop + static_cast<int>(line++) * kLineHeight, label, colour);
        }
        y = base + kLineGap;
        canvas_.Text(left, y, L"0", kDimText);
        const std::wstring end = Widen(Fixed(top));
        canvas_.Text(left + width - static_cast<int>(end.size()) * kCharWidth, y, end, kDimText);
        y += kLineHeight + kLineGap;
    }

    void PaintSwatches(int& y) {
        const std::vector<double>& d = comparison_.differences;
        const std::vector<std::size_t> worst = WorstFirst(d);
        // The worst tenth (at least one patch), ties included; none when all match exactly.
        const std::size_t keep = std::max<std::size_t>(1, (d.size() + 9) / kOutlinedShare);
        const double threshold = d[worst[keep - 1]];
        std::vector<bool> outlined(d.size());
        for (std::size_t k = 0; k < d.size(); ++k) outlined[k] = d[k] > 0 && d[k] >= threshold;

        std::vector<std::size_t> order;
        if (layout_.shown < d.size()) {
            order.assign(worst.begin(), worst.begin() + static_cast<long>(layout_.shown));
            Line(y,
                 "the " + std::to_string(layout_.shown) + " worst of " + std::to_string(d.size()) +
                     " patches, worst first; " + std::to_string(d.size() - layout_.shown) +
                     " left out",
                 kOutline);
        } else {
            order.resize(d.size());
            for (std::size_t k = 0; k < d.size(); ++k) order[k] = k;
        }
        for (std::size_t k = 0; k < order.size(); ++k) PaintSwatch(k, order[k], outlined[order[k]]);
    }

    void PaintSwatch(std::size_t cell, std::size_t index, bool outlined) {
        const ComparedPatch& patch = comparison_.patches[index];
        const int x = layout_.SwatchX(cell), y = layout_.SwatchY(cell);
        const int half = kSwatchWidth / 2;
        canvas_.Frame(x - 1, y - 1, kSwatchWidth + 2, kSwatchHeight + 2, 1, kFrame);
        canvas_.Fill(x, y, half, kSwatchHeight, ToColorref(Srgb255(patch.referenceLab)));
        canvas_.Fill(x + half, y, kSwatchWidth - half, kSwatchHeight,
                     ToColorref(Srgb255(patch.sampleLab)));
        if (outlined) {
            const int out = kOutlineGap + kOutlineWidth;
            canvas_.Frame(x - out, y - out, kSwatchWidth + 2 * out, kSwatchHeight + 2 * out,
                          kOutlineWidth, kOutline);
        }
        const int centre = x + kSwatchWidth / 2;
        const int labelY = y + kSwatchHeight + 8;
        canvas_.CentredText(centre, labelY,
                            Shorten(Widen(PatchLabel(reference_, patch.reference)), kLabelChars),
                            kDimText);
        canvas_.CentredText(centre, labelY + kLineHeight + 3, Widen(Fixed(patch.difference)),
                            kText);
    }

    Canvas& canvas_;
    const Layout& layout_;
    const MeasurementSet& reference_;
    const MeasurementSet& sample_;
    const Comparison& comparison_;
    const CompareOptions& options_;
};

// A new file beside `path` that no one else uses, created with the usual permissions.
std::string CreateScratchBeside(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string scratch =
            path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
#if defined(_WIN32)
        const int fd = ::_wopen(std::filesystem::u8path(scratch).c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_BINARY, _S_IREAD | _S_IWRITE);
#else
        const int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
        if (fd >= 0) {
            ::close(fd);
            return scratch;
        }
        if (errno != EEXIST) break;
    }
    throw Error(path, std::string("cannot write (") + std::strerror(errno) + ")");
}

}  // namespace

void WriteReportPng(const std::string& path, const MeasurementSet& reference,
                    const MeasurementSet& sample, const Comparison& comparison,
                    const CompareOptions& options) {
    const Layout layout(comparison.patches.size());
    std::string failure;
    std::error_code renamed;
    const std::string scratch = CreateScratchBeside(path);
    {
        Canvas canvas(layout.width, layout.height);
        if (!canvas.Ready()) {
            failure = "no drawing surface";
        } else {
            ReportPainter(canvas, layout, reference, sample, comparison, options).Paint();
            // Written beside the target and renamed into place, so that a failure leaves no
            // partial picture and no earlier file destroyed.
            if (!canvas.Save(scratch))
                failure = "cannot write the picture";
            else if (std::filesystem::rename(std::filesystem::u8path(scratch),
                                             std::filesystem::u8path(path), renamed),
                     renamed)
                failure = renamed.message();
        }
    }
    if (!failure.empty()) {
        std::error_code removed;
        std::filesystem::remove(std::filesystem::u8path(scratch), removed);
        throw Error(path, "cannot write: " + failure);
    }
}

}  // namespace vantrel::measure
