#include "json.h"

#include <cstdio>

#include "vantrel_platform/stringapiset.h"

namespace cli {

Json Json::Text(std::string bytes) {
    Json j;
    j.kind_ = Kind::kText;
    j.text_ = std::move(bytes);
    return j;
}

Json Json::Literal(std::string json) {
    Json j;
    j.text_ = std::move(json);
    return j;
}

Json Json::TextOrNull(std::string bytes) {
    return bytes.empty() ? Null() : Text(std::move(bytes));
}

Json Json::Array(std::vector<Json> items) {
    Json j;
    j.kind_ = Kind::kArray;
    for (Json& item : items) j.members_.emplace_back(std::string(), std::move(item));
    return j;
}

Json Json::Object() {
    Json j;
    j.kind_ = Kind::kObject;
    return j;
}

Json& Json::Add(std::string key, Json value) {
    members_.emplace_back(std::move(key), std::move(value));
    return *this;
}

Json& Json::Push(Json value) {
    members_.emplace_back(std::string(), std::move(value));
    return *this;
}

void JsonWriter::Append(std::string& out, std::string_view bytes) {
    out += '"';
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        char32_t codePoint;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);  // the common case, without decoding
            ++i;
        } else if (const size_t length =
                       vplatform::DecodeUtf8(bytes.data() + i, bytes.size() - i, &codePoint)) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            out += "\\ufffd";
            repaired_ = true;
            ++i;
        }
    }
    out += '"';
}

std::string JsonWriter::String(std::string_view bytes) {
    std::string out;
    Append(out, bytes);
    return out;
}

std::string JsonWriter::Write(const Json& value) {
    switch (value.kind_) {
        case Json::Kind::kText:
            return String(value.text_);
        case Json::Kind::kLiteral:
            return value.text_;
        case Json::Kind::kArray:
        case Json::Kind::kObject:
            break;
    }
    const bool object = value.kind_ == Json::Kind::kObject;
    std::string out = object ? "{" : "[";
    for (size_t i = 0; i < value.members_.size(); ++i) {
        if (i) out += ", ";
        if (object) Append(out, value.members_[i].first), out += ": ";
        out += Write(value.members_[i].second);
    }
    return out + (object ? "}" : "]");
}

}  // namespace cli
