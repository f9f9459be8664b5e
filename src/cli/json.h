#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fretlets::cli {

class JsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A parsed JSON value. Small documents only: one request line at a time.
class JsonValue {
 public:
  using Array = std::vector<JsonValue>;
  using Object = std::map<std::string, JsonValue, std::less<>>;

  JsonValue() = default;
  explicit JsonValue(bool b) : value_(b) {}
  explicit JsonValue(double d) : value_(d) {}
  explicit JsonValue(std::string s) : value_(std::move(s)) {}
  explicit JsonValue(Array a) : value_(std::move(a)) {}
  explicit JsonValue(Object o) : value_(std::move(o)) {}

  bool isNull() const { return std::holds_alternative<std::nullptr_t>(value_); }
  bool isBool() const { return std::holds_alternative<bool>(value_); }
  bool isNumber() const { return std::holds_alternative<double>(value_); }
  bool isArray() const { return std::holds_alternative<Array>(value_); }
  bool isObject() const { return std::holds_alternative<Object>(value_); }

  bool asBool() const { return std::get<bool>(value_); }
  double asNumber() const { return std::get<double>(value_); }
  const Array& asArray() const { return std::get<Array>(value_); }
  const Object& asObject() const { return std::get<Object>(value_); }

  // A member of an object, or nullptr when absent.
  const JsonValue* find(std::string_view key) const;

 private:
  std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value_{nullptr};
};

// Parses one complete JSON text; throws JsonError naming what is wrong.
JsonValue parseJson(std::string_view text);

// The text as a quoted JSON string, with every needed escape.
std::string jsonQuote(std::string_view text);

// Appends items separated by commas inside brackets: [a,b,c].
template <typename Range, typename Format>
std::string jsonArray(const Range& items, Format format) {
  std::string out = "[";
  bool first = true;
  for (const auto& item : items) {
    if (!first) {
      out += ',';
    }
    first = false;
    out += format(item);
  }
  out += ']';
  return out;
}

}  // namespace fretlets::cli
