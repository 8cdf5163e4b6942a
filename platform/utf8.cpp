#include "platform/utf8.h"

namespace threadgauge {
namespace {

// The length of the UTF-8 sequence that starts `text`, 0 when none does: overlong forms,
// surrogates, code points beyond U+10FFFF and NUL are no text.
size_t SequenceLength(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead == 0) return 0;
  if (lead < 0x80) return 1;
  size_t size = 0;
  unsigned long code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4, code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < size) return 0;
  for (size_t i = 1; i < size; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[size] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return size;
}

}  // namespace

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool IsValidUtf8(std::string_view text) {
  while (!text.empty()) {
    const size_t size = SequenceLength(text);
    if (size == 0) return false;
    text.remove_prefix(size);
  }
  return true;
}

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  while (!text.empty()) {
    const size_t size = SequenceLength(text);
    if (size == 0) {
      valid += "\xEF\xBF\xBD";
      text.remove_prefix(1);
    } else {
      valid.append(text.substr(0, size));
      text.remove_prefix(size);
    }
  }
  return valid;
}

std::string Shortened(std::string_view utf8, size_t count) {
  const std::string text = ValidUtf8(utf8);
  std::string_view rest = text;
  size_t kept = 0;
  for (size_t characters = 0; characters < count && kept < text.size(); ++characters) {
    const size_t size = SequenceLength(rest);
    kept += size;
    rest.remove_prefix(size);
  }
  if (kept == text.size()) return text;
  return text.substr(0, kept) + "…";
}

}  // namespace threadgauge
