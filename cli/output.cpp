#include "output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "measure/decimal.h"
#include "vantrel_platform/stringapiset.h"

namespace cli {

namespace {

constexpr size_t kFlushAt = 1 << 20;

}  // namespace

char* WriteFixedThroughToChars(char* end, double value, int decimals) {
    char buffer[kFixedRoom];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const std::string_view text = vantrel::measure::WithoutNegativeZero(
        std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
    char* const begin = end - text.size();
    std::memcpy(begin, text.data(), text.size());
    return begin;
}

std::string Fixed(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

std::string Exact(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

std::string Shortest(float value) {
    char buffer[32];
    for (int precision = 1; precision <= 9; ++precision) {
        const int length =
            std::snprintf(buffer, sizeof buffer, "%.*g", precision, static_cast<double>(value));
        float back = 0.0f;
        std::from_chars(buffer, buffer + length, back);
        if (back == value) break;
    }
    return buffer;
}

std::string JsonNumber(float value) {
    return std::isfinite(value) ? Shortest(value) : "null";
}

std::string Hex(const std::uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = vplatform::DecodeUtf8(text.data() + i, text.size() - i, &c);
        const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
        if (length && !control) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        // A control character or a byte that is not UTF-8: each of its bytes as \xNN.
        for (size_t k = 0; k < std::max<size_t>(length, 1); ++k) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned char>(text[i + k]));
            out += escaped;
        }
        i += std::max<size_t>(length, 1);
    }
    return out;
}

std::string Quoted(std::string_view text) {
    return "'" + Escaped(text) + "'";
}

std::string Table::Text() const {
    std::vector<size_t> widths;
    for (const auto& row : rows_)
        for (size_t i = 0; i < row.size(); ++i) {
            if (widths.size() <= i) widths.push_back(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    std::string text;
    for (const auto& row : rows_) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) text += "  ";
            const std::string pad(widths[i] - row[i].size(), ' ');
            const bool last = i + 1 == row.size();
            if (i == 0 || align_ == Align::kLeft)
                text += row[i] + (last ? "" : pad);
            else
                text += pad + row[i];
        }
        text += '\n';
    }
    return text;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
    return line;
}

Output& Output::operator<<(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kFlushAt) Flush();
    return *this;
}

void Output::Write(const std::string& text) {
    Flush();
    std::fwrite(text.data(), 1, text.size(), file_);
}

void Output::Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
}

}  // namespace cli
