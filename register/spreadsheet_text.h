#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/problems.h"

namespace threadgauge {

// A CSV file as Excel, WPS or LibreOffice save it: UTF-8 with or without a byte-order mark,
// or GBK as Excel on Chinese Windows saves it.
struct DecodedText {
  std::string encoding;  // "UTF-8（带 BOM）", "UTF-8" or "GBK"
  std::string text;      // UTF-8, without the byte-order mark
};
// The message when the bytes are neither.
std::variant<DecodedText, Message> DecodeSpreadsheetText(std::string_view bytes);

// A heading compared without blanks, with full-width brackets as ASCII ones: "检定周期（月）"
// and "检定周期 (月)" are one heading.
std::string HeadingKey(std::string text);

}  // namespace threadgauge
