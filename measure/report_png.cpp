// The picture of a comparison: a title, the groups of a tolerance profile, a legend and a
// histogram of the differences with the tolerance limits over a grid of split swatches
// (reference left, sample right), each labelled with its patch and difference. The grid is the
// chart's own when every patch has a location (SAMPLE_LOC "A1", "2B17": letters the column,
// digits the row), else the patches in order; cells shrink to fit the width asked for, and
// their labels take the smaller font, or go, when cells are small. Drawn on a pixel surface of
// the platform with its bitmap font and written as PNG.
#include <fcntl.h>
#include <unistd.h>
#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "text_util.h"
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

// The platform's bitmap font at pixel height 8 s draws its 5x7 glyphs at scale s: 6 s pixels a
// character, 8 s a line. Headings take scale 2, the labels of small swatches scale 1.
constexpr LONG kFontHeight = 16;
constexpr int kCharWidth = 12;
constexpr int kLineHeight = 16;
constexpr int kLineGap = 6;

constexpr int kMargin = 16;
// A cell is at most this wide (a swatch, gaps and two label lines at scale 2), and at least
// kSmallestCell: a chart that would need smaller ones is drawn as a list of its worst patches.
constexpr int kLargestCell = 112;
constexpr int kSmallestCell = 14;
constexpr int kMinWidth = 816;  // room for the legend and a readable histogram
constexpr int kHistogramHeight = 120;
constexpr int kHistogramBins = 40;
constexpr int kTextLines = 6;  // two files, metric, summary, verdict, legend
// The height above the grid, with a line for each group of a tolerance profile.
int HeaderHeight(std::size_t groups) {
    return kMargin + (kTextLines + static_cast<int>(groups)) * (kLineHeight + kLineGap) + kLineGap +
           kHistogramHeight + 2 * (kLineHeight + kLineGap);
}
// Colours that tell the groups of a tolerance profile apart.
constexpr COLORREF kGroupColours[] = {RGB(80, 160, 255), RGB(255, 200, 40),  RGB(200, 90, 255),
                                      RGB(60, 220, 170), RGB(255, 120, 170), RGB(160, 220, 60)};
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
        font.lfHeight = -kFontHeight / 2;
        small_.CreateFontIndirect(&font);
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

    // Text at scale 2 (headings) or 1 (small labels) from now on.
    void Scale(int scale) {
        scale_ = scale;
        CDC::FromHandle(dc_)->SelectObject(scale == 1 ? &small_ : &font_);
    }

    // One line of text with its top at y, starting at x; an ellipsis mark becomes three dots.
    // Returns the x after it.
    int Text(int x, int y, const std::wstring& line, COLORREF colour) {
        const int charWidth = 6 * scale_, lineHeight = 8 * scale_;
        SetTextColor(dc_, colour);
        std::size_t start = 0;
        while (start <= line.size()) {
            std::size_t stop = line.find(kEllipsis, start);
            if (stop == std::wstring::npos) stop = line.size();
            RECT box{x, y, x, y + lineHeight};
            DrawTextW(dc_, line.c_str() + start, static_cast<int>(stop - start), &box,
                      DT_LEFT | DT_SINGLELINE | DT_TOP | DT_NOCLIP);
            x += static_cast<int>(stop - start) * charWidth;
            if (stop == line.size()) break;
            for (int dot = 0; dot < 3; ++dot)
                Fill(x + (1 + 4 * dot) * scale_ / 2, y + 6 * scale_, scale_, scale_, colour);
            x += charWidth;
            start = stop + 1;
        }
        return x;
    }

    void CentredText(int centre, int y, const std::wstring& line, COLORREF colour) {
        Text(centre - static_cast<int>(line.size()) * 3 * scale_, y, line, colour);
    }

    bool Save(const std::string& path) const {
        return vplatform::SaveSurfacePng(window_, path.c_str());
    }

  private:
    HWND window_;
    HDC dc_;
    CFont font_, small_;
    int scale_ = 2;
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

// The column and row of a chart location such as "A1", "AA3" or "2B17": its letters give the
// column (after a count of alphabets: "2A" follows "Z"), its digits the row; nothing for
// anything else.
std::optional<std::pair<int, int>> CellOfLocation(std::string_view location) {
    constexpr int kLargest = 999;  // columns or rows of any real chart
    auto digit = [&](std::size_t at) {
        return at < location.size() && location[at] >= '0' && location[at] <= '9';
    };
    std::size_t i = 0;
    int alphabets = 0, column = 0, row = 0;
    for (; digit(i) && alphabets <= kLargest; ++i) alphabets = alphabets * 10 + (location[i] - '0');
    const std::size_t letters = i;
    for (; i < location.size() && std::isalpha(static_cast<unsigned char>(location[i])) &&
           column <= kLargest;
         ++i)
        column = column * 26 + (UpperAscii(location[i]) - 'A' + 1);
    const std::size_t digits = i;
    for (; digit(i) && row <= kLargest; ++i) row = row * 10 + (location[i] - '0');
    column += std::max(alphabets - 1, 0) * 26;
    if (digits == letters || i == digits || i != location.size() || row < 1 || row > kLargest ||
        column > kLargest)
        return std::nullopt;
    return std::pair{column - 1, row - 1};
}

// Where everything goes: the picture's size, the header above the grid, and the cells of the
// patches shown, `cell` pixels wide. In a chart's layout cell k is comparison patch k's; else
// cell k holds the k-th patch shown (all in order, or the worst first when not all fit).
struct Layout {
    int width = 0, height = 0;
    int top = 0;  // where the grid begins
    int columns = 1, rows = 1;
    int cell = kLargestCell, cellHeight = 0;
    int swatchX = 0, swatchY = 0, swatchWidth = 0, swatchHeight = 0;
    int band = 0;        // the height of the strip of group colours under a swatch
    int labelScale = 2;  // of the labels under a swatch; 0: none
    bool chart = false;  // cells from the chart's locations
    std::vector<std::pair<int, int>> cells;

    Layout(const MeasurementSet& reference, const Comparison& comparison, int requestedWidth,
           int header)
        : top(header), groups_(!comparison.groups.empty()) {
        const int inner = std::max(requestedWidth, kMinWidth) - 2 * kMargin;
        if (ChartCells(reference, comparison)) {
            int size = std::min(kLargestCell, inner / columns);
            while (size > kSmallestCell && !Fits(size)) --size;
            if (Fits(size)) {
                chart = true;
                Finish();
                return;
            }
            cells.clear();
        }
        // In order: roughly three columns for every two rows, as a sheet of paper, within the
        // width asked for.
        const int n = static_cast<int>(std::max<std::size_t>(comparison.patches.size(), 1));
        const int natural = static_cast<int>(std::ceil(std::sqrt(1.5 * n)));
        for (int size = kLargestCell;; --size) {
            columns = std::clamp(natural, 1, inner / size);
            rows = (n + columns - 1) / columns;
            if (Fits(size) || size == kSmallestCell) break;
        }
        rows = std::min(rows, std::max(1, (kReportMaxSize - top - kMargin) / cellHeight));
        const int shown = std::min(n, columns * rows);
        for (int k = 0; k < shown && !comparison.patches.empty(); ++k)
            cells.emplace_back(k % columns, k / columns);
        Finish();
    }

    std::size_t TextChars() const {
        return static_cast<std::size_t>((width - 2 * kMargin) / kCharWidth);
    }
    int SwatchX(std::size_t k) const { return kMargin + cells[k].first * cell + swatchX; }
    int SwatchY(std::size_t k) const { return top + cells[k].second * cellHeight + swatchY; }

  private:
    // Every patch of the reference at a location of its own.
    bool ChartCells(const MeasurementSet& reference, const Comparison& comparison) {
        if (!reference.hasLocation || comparison.patches.empty()) return false;
        std::set<std::pair<int, int>> taken;
        columns = rows = 0;
        for (const ComparedPatch& patch : comparison.patches) {
            const auto at = CellOfLocation(reference.patches[patch.reference].location);
            if (!at || !taken.insert(*at).second) return false;
            cells.push_back(*at);
            columns = std::max(columns, at->first + 1);
            rows = std::max(rows, at->second + 1);
        }
        return true;
    }

    // The geometry of cells `size` pixels wide (a swatch of 88 by 60 in 112, the band, and two
    // label lines at the scale the width allows), and whether `rows` of them fit the picture.
    bool Fits(int size) {
        cell = size;
        labelScale = size >= 100 ? 2 : size >= 40 ? 1 : 0;
        swatchX = std::max(1, size * 12 / kLargestCell);
        swatchY = std::max(1, size * 8 / kLargestCell);
        swatchWidth = size - 2 * swatchX;
        swatchHeight = std::max(4, swatchWidth * 60 / 88);
        band = groups_ ? std::max(2, size / 24) : 0;
        // Two label lines of 8 s pixels, 4 s above them, 3 between and 5 below.
        cellHeight = swatchY + swatchHeight + band + (labelScale ? 20 * labelScale + 8 : swatchY);
        return top + rows * cellHeight + kMargin <= kReportMaxSize;
    }

    void Finish() {
        width = std::max(kMinWidth, 2 * kMargin + columns * cell);
        height = top + rows * cellHeight + kMargin;
    }

    bool groups_;
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
        PaintGroups(y);
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
            if (comparison_.groups.empty())
                Line(y, "no tolerance given", kDimText);
            else
                Line(y, std::string(verdict.pass ? "PASS" : "FAIL") + " by the groups below",
                     verdict.pass ? kPass : kOutline);
            return;
        }
        std::string text = verdict.pass ? "PASS:" : "FAIL:";
        for (const LimitCheck& check : verdict.checks)
            text += "  " + check.name + " " + Fixed(check.limit) + (check.pass ? " pass" : " FAIL");
        if (options_.tolerances.max) text += "  " + std::to_string(verdict.overMax) + " over max";
        Line(y, text, verdict.pass ? kPass : kOutline);
    }

    // A line for each group of a tolerance profile, in its colour: members, statistics and
    // verdict.
    void PaintGroups(int& y) {
        for (std::size_t g = 0; g < comparison_.groups.size(); ++g) {
            const GroupResult& group = comparison_.groups[g];
            const COLORREF colour = kGroupColours[g % std::size(kGroupColours)];
            canvas_.Fill(kMargin, y + 2, kLineHeight - 4, kLineHeight - 4, colour);
            std::string text = group.name + ": " + std::to_string(group.members.size()) +
                               (group.members.size() == 1 ? " patch" : " patches");
            if (!group.members.empty()) {
                text += ", mean " + Fixed(group.statistics.mean) + " max " +
                        Fixed(group.statistics.max);
                for (const LimitCheck& check : group.verdict.checks)
                    text += "  " + check.name + " " + Fixed(check.limit) +
                            (check.pass ? " pass" : " FAIL");
            }
            canvas_.Text(kMargin + kLineHeight + 4, y,
                         Shorten(Widen(text), layout_.TextChars() - 2),
                         group.verdict.pass ? kText : kOutline);
            y += kLineHeight + kLineGap;
        }
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
        // The groups each patch belongs to.
        std::vector<std::vector<std::size_t>> groups(d.size());
        for (std::size_t g = 0; g < comparison_.groups.size(); ++g)
            for (std::size_t member : comparison_.groups[g].members) groups[member].push_back(g);

        const std::size_t shown = layout_.cells.size();
        std::vector<std::size_t> order(shown);
        for (std::size_t k = 0; k < shown; ++k) order[k] = k;
        if (shown < d.size()) {
            order.assign(worst.begin(), worst.begin() + static_cast<long>(shown));
            Line(y,
                 "the " + std::to_string(shown) + " worst of " + std::to_string(d.size()) +
                     " patches, worst first; " + std::to_string(d.size() - shown) + " left out",
                 kOutline);
        } else if (layout_.chart) {
            Line(y, "patches where SAMPLE_LOC puts them on the chart", kDimText);
        }
        canvas_.Scale(std::max(layout_.labelScale, 1));
        for (std::size_t k = 0; k < shown; ++k)
            PaintSwatch(k, order[k], outlined[order[k]], groups[order[k]]);
        canvas_.Scale(2);
    }

    void PaintSwatch(std::size_t cell, std::size_t index, bool outlined,
                     const std::vector<std::size_t>& groups) {
        const ComparedPatch& patch = comparison_.patches[index];
        const int x = layout_.SwatchX(cell), y = layout_.SwatchY(cell);
        const int w = layout_.swatchWidth, h = layout_.swatchHeight, half = w / 2;
        canvas_.Frame(x - 1, y - 1, w + 2, h + 2, 1, kFrame);
        canvas_.Fill(x, y, half, h, ToColorref(Srgb255(patch.referenceLab)));
        canvas_.Fill(x + half, y, w - half, h, ToColorref(Srgb255(patch.sampleLab)));
        if (outlined) {
            const int thickness = std::max(1, kOutlineWidth * layout_.cell / kLargestCell);
            const int out = std::max(1, kOutlineGap * layout_.cell / kLargestCell) + thickness;
            canvas_.Frame(x - out, y - out, w + 2 * out, h + 2 * out, thickness, kOutline);
        }
        // The colours of its groups side by side, under it.
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const int from = x + static_cast<int>(g) * w / static_cast<int>(groups.size());
            const int to = x + static_cast<int>(g + 1) * w / static_cast<int>(groups.size());
            canvas_.Fill(from, y + h + 1, to - from, layout_.band - 1,
                         kGroupColours[groups[g] % std::size(kGroupColours)]);
        }
        if (!layout_.labelScale) return;
        const int scale = layout_.labelScale, centre = x + w / 2;
        const int labelY = y + h + layout_.band + 4 * scale;
        const std::size_t chars = static_cast<std::size_t>(layout_.cell / (6 * scale));
        canvas_.CentredText(centre, labelY,
                            Shorten(Widen(PatchLabel(reference_, patch.reference)), chars),
                            kDimText);
        canvas_.CentredText(centre, labelY + 8 * scale + 3, Widen(Fixed(patch.difference)), kText);
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
                    const CompareOptions& options, int width) {
    const Layout layout(reference, comparison, width, HeaderHeight(comparison.groups.size()));
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
