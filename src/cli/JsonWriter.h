// One JSON object on one line: UTF-8 strings escaped, integers and decimals, in the order written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::cli {

// A JSON string literal of text. Control characters, quote and backslash are escaped; bytes that are
// not valid UTF-8 become U+FFFD, so the output is valid JSON whatever the input.
std::string JsonString(std::string_view utf8);

class JsonObject {
  public:
    JsonObject& String(std::string_view key, std::string_view utf8);
    JsonObject& Integer(std::string_view key, std::int64_t value);
    // Written with the given number of decimals; a value that is not finite is written as null.
    JsonObject& Decimal(std::string_view key, double value, int decimals = 3);
    JsonObject& Boolean(std::string_view key, bool value);
    JsonObject& Null(std::string_view key);
    // A value written by the caller: another object's Text(), or an array from JsonArray.
    JsonObject& Raw(std::string_view key, std::string_view json);
    // Integer when there is a value, null otherwise.
    JsonObject& IntegerOrNull(std::string_view key, std::optional<std::int64_t> value);

    std::string Text() const;

  private:
    JsonObject& Member(std::string_view key, std::string value);
    std::vector<std::pair<std::string, std::string>> members_;
};

// "[a,b,...]" of values that are JSON texts already.
std::string JsonArray(const std::vector<std::string>& values);

} // namespace vexa::cli
