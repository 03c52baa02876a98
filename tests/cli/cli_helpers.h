// Helpers shared by the command's tests.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace cli_testing {

struct CommandResult {
    int status = -1;  // exit status
    std::string out;  // standard output
    std::string err;  // standard error
};

// `vantrel ARGUMENTS` (a command line in the shell's words and quoting), with `input` on
// standard input, run inside the test through the command's own code. What only the real
// program shows (the identity of standard output, its close) is tested by real_program.py.
CommandResult RunVantrel(const std::string& arguments, const std::string& input = "");

// The test name of row `index` of a table of command lines (rows with `args` and `input`): its
// words and input in letters, digits and '_', cut at 60 characters, with the row's position
// appended when another row would have the same name.
template <typename Row, size_t N>
std::string RowName(const Row (&rows)[N], size_t index) {
    auto name = [](const Row& row) {
        std::string text;
        for (char c : row.args + " " + row.input) {
            const bool word = std::isalnum(static_cast<unsigned char>(c)) && !(c & 0x80);
            if (word || (!text.empty() && text.back() != '_')) text += word ? c : '_';
        }
        text = text.substr(0, 60);
        while (!text.empty() && text.back() == '_') text.pop_back();
        return text;
    };
    const std::string own = name(rows[index]);
    const auto same = std::count_if(rows, rows + N, [&](const Row& r) { return name(r) == own; });
    return same > 1 ? own + "_" + std::to_string(index) : own;
}

inline int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct PngImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<int> At(int x, int y) const {
        const std::uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

// The picture at `path` as 8-bit RGB; width and height 0 when it is not a PNG.
inline PngImage ReadPng(const std::string& path) {
    PngImage out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr))
        out.width = static_cast<int>(image.width), out.height = static_cast<int>(image.height);
    return out;
}

}  // namespace cli_testing
