#include "spreadsheet_text.h"

#include <utility>

#include "platform/utf8.h"

namespace threadgauge {

std::variant<DecodedText, Message> DecodeSpreadsheetText(std::string_view bytes) {
  if (bytes.starts_with("\xef\xbb\xbf")) {
    return DecodedText{"UTF-8（带 BOM）", std::string(bytes.substr(3))};
  }
  if (IsValidUtf8(bytes)) return DecodedText{"UTF-8", std::string(bytes)};
  if (auto converted = ConvertToUtf8(bytes, "GB18030")) {
    return DecodedText{"GBK", std::move(*converted)};
  }
  return Message{MessageCode::NotUtf8OrGbk};
}

std::string HeadingKey(std::string text) {
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"（", "("},
                                 {"）", ")"},
                                 {" ", ""},
                                 {"\xe3\x80\x80", ""}}) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

}  // namespace threadgauge
