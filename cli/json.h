// JSON values as a subcommand builds them, and the writer that turns them into text. Strings
// keep their bytes as given: the writer escapes them, replaces every byte that is not UTF-8 by
// U+FFFD and remembers that it did, so that the document it writes can say
// "text_repaired": true.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

class Json {
  public:
    // A string of any bytes.
    static Json Text(std::string bytes);
    // A number, true, false or null, as written.
    static Json Literal(std::string json);
    static Json Integer(long long value) { return Literal(std::to_string(value)); }
    static Json Bool(bool value) { return Literal(value ? "true" : "false"); }
    static Json Null() { return Literal("null"); }
    // A string, or null when `bytes` is empty.
    static Json TextOrNull(std::string bytes);
    static Json Array(std::vector<Json> items = {});
    static Json Object();

    // Members of an object, in the order added.
    Json& Add(std::string key, Json value);
    Json& AddText(std::string key, std::string bytes) {
        return Add(std::move(key), Text(std::move(bytes)));
    }
    Json& AddInteger(std::string key, long long value) {
        return Add(std::move(key), Integer(value));
    }
    // An item of an array.
    Json& Push(Json value);

  private:
    friend class JsonWriter;
    enum class Kind { kText, kLiteral, kArray, kObject };
    Kind kind_ = Kind::kLiteral;
    std::string text_;
    std::vector<std::pair<std::string, Json>> members_;  // keys are empty in an array
};

// Writes JSON on one line ({"a": 1, "b": [2, 3]}) and remembers repaired text.
class JsonWriter {
  public:
    std::string Write(const Json& value);
    // A JSON string of any bytes: quotes and backslashes escaped, control characters as
    // \u00XX, valid UTF-8 as it is and each byte that is not UTF-8 as \ufffd.
    std::string String(std::string_view bytes);
    void Append(std::string& out, std::string_view bytes);
    // Whether a string written so far had bytes that are not UTF-8.
    bool Repaired() const { return repaired_; }

  private:
    bool repaired_ = false;
};

}  // namespace cli
