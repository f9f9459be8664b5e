#include "cli/json.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace fretlets::cli {
namespace {

// Nesting deeper than this is refused rather than risking the stack.
constexpr int kMaxDepth = 64;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue parseDocument() {
    JsonValue value = parseValue(0);
    skipSpace();
    if (pos_ != text_.size()) {
      fail("unexpected text after the value");
    }
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw JsonError("malformed JSON at column " + std::to_string(pos_ + 1) + ": " + what);
  }

  void skipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  bool consume(char c) {
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  void expect(char c) {
    if (!consume(c)) {
      fail(std::string("expected '") + c + "'");
    }
  }

  bool consumeWord(std::string_view word) {
    if (text_.substr(pos_, word.size()) == word) {
      pos_ += word.size();
      return true;
    }
    return false;
  }

  JsonValue parseValue(int depth) {
    if (depth > kMaxDepth) {
      fail("nested too deeply");
    }
    skipSpace();
    if (pos_ >= text_.size()) {
      fail("unexpected end of input");
    }
    const char c = text_[pos_];
    if (c == '{') {
      return parseObject(depth);
    }
    if (c == '[') {
      return parseArray(depth);
    }
    if (c == '"') {
      return JsonValue(parseString());
    }
    if (consumeWord("true")) {
      return JsonValue(true);
    }
    if (consumeWord("false")) {
      return JsonValue(false);
    }
    if (consumeWord("null")) {
      return JsonValue();
    }
    return JsonValue(parseNumber());
  }

  JsonValue parseObject(int depth) {
    ++pos_;
    JsonValue::Object members;
    if (consume('}')) {
      return JsonValue(std::move(members));
    }
    do {
      skipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '"') {
        fail("expected a member name");
      }
      std::string key = parseString();
      expect(':');
      members[std::move(key)] = parseValue(depth + 1);
    } while (consume(','));
    expect('}');
    return JsonValue(std::move(members));
  }

  JsonValue parseArray(int depth) {
    ++pos_;
    JsonValue::Array items;
    if (consume(']')) {
      return JsonValue(std::move(items));
    }
    do {
      items.push_back(parseValue(depth + 1));
    } while (consume(','));
    expect(']');
    return JsonValue(std::move(items));
  }

  double parseNumber() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() &&
           (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '-' ||
            text_[pos_] == '+' || text_[pos_] == '.' || text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text_.data() + start, text_.data() + pos_, value);
    if (start == pos_ || ec != std::errc{} || ptr != text_.data() + pos_ || !std::isfinite(value)) {
      pos_ = start;
      fail("expected a value");
    }
    return value;
  }

  unsigned parseHex4() {
    if (pos_ + 4 > text_.size()) {
      fail("short \\u escape");
    }
    unsigned code = 0;
    const auto [ptr, ec] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, code, 16);
    if (ec != std::errc{} || ptr != text_.data() + pos_ + 4) {
      fail("bad \\u escape");
    }
    pos_ += 4;
    return code;
  }

  static void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::string parseString() {
    ++pos_;  // opening quote
    std::string out;
    while (true) {
      if (pos_ >= text_.size()) {
        fail("unterminated string");
      }
      const char c = text_[pos_++];
      if (c == '"') {
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) {
        fail("control character in string");
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) {
        fail("unterminated string");
      }
      const char e = text_[pos_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned code = parseHex4();
          if (code >= 0xD800 && code < 0xDC00 && consumeWord("\\u")) {
            const unsigned low = parseHex4();
            if (low < 0xDC00 || low > 0xDFFF) {
              fail("bad surrogate pair");
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xD800 && code < 0xE000) {
            fail("lone surrogate");
          }
          appendUtf8(out, code);
          break;
        }
        default:
          fail("bad escape");
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
  if (!isObject()) {
    return nullptr;
  }
  const Object& members = asObject();
  const auto it = members.find(key);
  return it == members.end() ? nullptr : &it->second;
}

JsonValue parseJson(std::string_view text) {
  return Parser(text).parseDocument();
}

std::string jsonQuote(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (u < 0x20) {
          out += "\\u00";
          out += kHex[u >> 4];
          out += kHex[u & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

}  // namespace fretlets::cli
