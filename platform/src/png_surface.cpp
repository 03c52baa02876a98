// Saving a window's pixel surface as a PNG file.
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "vantrel_platform/gdi.h"

namespace vplatform {

bool SaveSurfacePng(HWND hWnd, const char* path) {
    Surface surface = GetSurface(hWnd);
    if (!path || surface.width <= 0 || surface.height <= 0) return false;
    std::vector<png_byte> rgb;
    rgb.reserve(surface.pixels.size() * 3);
    for (COLORREF pixel : surface.pixels) {
        rgb.push_back(GetRValue(pixel));
        rgb.push_back(GetGValue(pixel));
        rgb.push_back(GetBValue(pixel));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(surface.width);
    image.height = static_cast<png_uint_32>(surface.height);
    image.format = PNG_FORMAT_RGB;
#if defined(_WIN32)
    // The path is UTF-8; the C library would read it in the ANSI code page.
    std::FILE* file = ::_wfopen(std::filesystem::u8path(path).c_str(), L"wb");
    if (!file) return false;
    bool written = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0;
    written = std::fclose(file) == 0 && written;
    if (!written) ::_wremove(std::filesystem::u8path(path).c_str());
#else
    bool written = png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
#endif
    png_image_free(&image);
    return written;
}

}  // namespace vplatform
