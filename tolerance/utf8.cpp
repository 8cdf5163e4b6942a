#include "tolerance/utf8.h"

#include <glib.h>

#include <memory>

namespace threadgauge {
namespace {

struct GFreeDeleter {
  void operator()(gchar* text) const { g_free(text); }
};
using GText = std::unique_ptr<gchar, GFreeDeleter>;

}  // namespace

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool IsValidUtf8(std::string_view text) {
  return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) != 0;
}

std::string ValidUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  const GText valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
  return valid ? std::string(valid.get()) : std::string();
}

std::string Shortened(std::string_view utf8, size_t count) {
  const std::string text = ValidUtf8(utf8);
  if (static_cast<size_t>(g_utf8_strlen(text.c_str(), static_cast<gssize>(text.size()))) <= count) {
    return text;
  }
  const char* end = g_utf8_offset_to_pointer(text.c_str(), static_cast<glong>(count));
  return std::string(text.c_str(), end) + "…";
}

std::optional<std::string> ConvertToUtf8(std::string_view bytes, const char* charset) {
  gsize written = 0;
  GError* error = nullptr;
  const GText converted(g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", charset,
                                  nullptr, &written, &error));
  if (error != nullptr) {
    g_error_free(error);
    return std::nullopt;
  }
  if (!converted) return std::nullopt;
  return std::string(converted.get(), written);
}

}  // namespace threadgauge
