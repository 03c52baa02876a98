#include "report_png.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cli.h"
#include "vantrel_platform/gdi.h"
#include "vantrel_platform/window.h"

namespace cli {

namespace {

// A neutral mid-grey surround, as colours are judged against, with light text on it.
constexpr COLORREF kBackground = RGB(90, 90, 90);
constexpr COLORREF kText = RGB(240, 240, 240);
constexpr COLORREF kLabelText = RGB(180, 180, 180);
constexpr COLORREF kFrame = RGB(40, 40, 40);
constexpr COLORREF kOutline = RGB(255, 48, 48);
constexpr int kOutlineGap = 2;    // between the swatch and its outline
constexpr int kOutlineWidth = 3;  // outline thickness

// The platform's bitmap font at pixel height 16 draws its 5x7 glyphs at scale 2: 12 pixels a
// character, 16 a line.
constexpr LONG kFontHeight = 16;
constexpr int kCharWidth = 12;
constexpr int kLineHeight = 16;

// UTF-8 to one code unit per character; characters outside ASCII become U+FFFD, which the
// font draws as a box.
std::wstring widen(const std::string& text) {
    std::wstring out;
    for (unsigned char c : text) {
        if (c < 0x80)
            out += static_cast<wchar_t>(c);
        else if ((c & 0xC0) != 0x80)
            out += L'\uFFFD';
    }
    return out;
}

// A window of the platform stand-in used as an off-screen pixel surface.
class Surface {
  public:
    Surface(int width, int height)
        : window_(
              vplatform::CreateWindow(vplatform::WindowKind::Generic, nullptr, 0, width, height)),
          dc_(GetDC(window_)) {
        if (!dc_) return;
        LOGFONTW font{};
        font.lfHeight = -kFontHeight;
        font_.CreateFontIndirect(&font);
        CDC::FromHandle(dc_)->SelectObject(&font_);
        SetBkMode(dc_, TRANSPARENT);
        fill(0, 0, width, height, kBackground);
    }
    ~Surface() {
        if (dc_) ReleaseDC(window_, dc_);
        DestroyWindow(window_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    bool ready() const { return dc_ != nullptr; }

    void fill(int x, int y, int w, int h, COLORREF colour) {
        CDC::FromHandle(dc_)->FillSolidRect(x, y, w, h, colour);
    }

    // A frame of `thickness` pixels drawn inside the rectangle.
    void frame(int x, int y, int w, int h, int thickness, COLORREF colour) {
        fill(x, y, w, thickness, colour);
        fill(x, y + h - thickness, w, thickness, colour);
        fill(x, y, thickness, h, colour);
        fill(x + w - thickness, y, thickness, h, colour);
    }

    // One line of text, its top at y, left-aligned at x or centred on it.
    void text(int x, int y, const std::wstring& line, bool centred, COLORREF colour) {
        SetTextColor(dc_, colour);
        RECT box{x, y, x, y + kLineHeight};
        if (centred) box.left = box.right = x;
        DrawTextW(dc_, line.c_str(), static_cast<int>(line.size()), &box,
                  (centred ? DT_CENTER : DT_LEFT) | DT_SINGLELINE | DT_TOP | DT_NOCLIP);
    }

    bool save(const std::string& path) const {
        return vplatform::SaveSurfacePng(window_, path.c_str());
    }

  private:
    HWND window_;
    HDC dc_;
    CFont font_;
};

std::string format_delta_e(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
    return buffer;
}

}  // namespace

ReportLayout::ReportLayout(size_t count, const std::string& title) {
    // Roughly three columns for every two rows, as a sheet of paper.
    int n = static_cast<int>(std::max<size_t>(count, 1));
    int natural = static_cast<int>(std::ceil(std::sqrt(1.5 * n)));
    columns = std::max(kMinColumns, std::min(n, natural));
    rows = (n + columns - 1) / columns;
    width = std::max(2 * kMargin + columns * kCellWidth,
                     2 * kMargin + static_cast<int>(widen(title).size()) * kCharWidth);
    height = kHeader + rows * kCellHeight + kMargin;
}

int ReportLayout::swatch_x(size_t k) const {
    return kMargin + static_cast<int>(k % columns) * kCellWidth + kSwatchX;
}

int ReportLayout::swatch_y(size_t k) const {
    return kHeader + static_cast<int>(k / columns) * kCellHeight + kSwatchY;
}

void write_report_png(const std::string& path, const std::string& title,
                      const std::vector<ReportSwatch>& swatches) {
    using L = ReportLayout;
    ReportLayout layout(swatches.size(), title);
    Surface surface(layout.width, layout.height);
    if (!surface.ready()) throw Failure("cannot write " + path + ": no drawing surface");
    surface.text(L::kMargin, (L::kHeader - kLineHeight) / 2, widen(title), false, kText);

    auto rgb = [](const std::array<std::uint8_t, 3>& c) { return RGB(c[0], c[1], c[2]); };
    const int half = L::kSwatchWidth / 2;
    for (size_t k = 0; k < swatches.size(); ++k) {
        const ReportSwatch& s = swatches[k];
        int x = layout.swatch_x(k), y = layout.swatch_y(k);
        surface.frame(x - 1, y - 1, L::kSwatchWidth + 2, L::kSwatchHeight + 2, 1, kFrame);
        surface.fill(x, y, half, L::kSwatchHeight, rgb(s.reference));
        surface.fill(x + half, y, L::kSwatchWidth - half, L::kSwatchHeight, rgb(s.sample));
        if (s.outlined) {
            int out = kOutlineGap + kOutlineWidth;
            surface.frame(x - out, y - out, L::kSwatchWidth + 2 * out, L::kSwatchHeight + 2 * out,
                          kOutlineWidth, kOutline);
        }
        int centre = x + L::kSwatchWidth / 2;
        std::wstring label = widen(s.label);
        // Labels longer than the cell are cut, keeping their end (ids differ at the end).
        size_t fits = static_cast<size_t>(L::kCellWidth / kCharWidth - 1);
        if (label.size() > fits) label = label.substr(label.size() - fits);
        int label_y = y + L::kSwatchHeight + 8;
        surface.text(centre, label_y, label, true, kLabelText);
        surface.text(centre, label_y + kLineHeight + 3, widen(format_delta_e(s.delta_e)), true,
                     kText);
    }

    // Written beside the target and renamed into place, so that a failure leaves no partial
    // picture and no earlier file destroyed.
    std::string part = path + ".part";
    bool written = surface.save(part);
    std::string reason = written ? "" : "cannot create the file";
    if (written && std::rename(part.c_str(), path.c_str()) != 0) {
        written = false;
        reason = std::strerror(errno);
    }
    if (!written) {
        std::remove(part.c_str());
        throw Failure("cannot write " + path + ": " + reason);
    }
}

}  // namespace cli
