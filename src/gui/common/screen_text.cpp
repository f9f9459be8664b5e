#include "gui/common/screen_text.h"

#include "documents/text_codec.h"

namespace fretlets {

std::string documentText(const QString& text, std::size_t maxBytes) {
  std::string bytes = utf8ToWindows1252(text.toStdString());
  if (bytes.size() > maxBytes) {
    bytes.resize(maxBytes);
  }
  return bytes;
}

QString screenText(std::string_view text) {
  return QString::fromStdString(windows1252ToUtf8(text));
}

}  // namespace fretlets
