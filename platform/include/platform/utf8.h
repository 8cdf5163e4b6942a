#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// The program's texts are UTF-8 everywhere; these are the only places that turn a path
// or bytes of another encoding into UTF-8 text and back.
std::string Utf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view utf8);

bool IsValidUtf8(std::string_view text);
// The same text with every byte that is not UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);
// The first `count` characters of UTF-8 text, and "…" when there were more.
std::string Shortened(std::string_view utf8, size_t count);

// Bytes of text in `charset` (a name the converter knows: "GBK", "CP1252", "BIG5") as
// UTF-8; nothing when the bytes are not text in that character set.
std::optional<std::string> ConvertToUtf8(std::string_view bytes, const char* charset);

}  // namespace threadgauge
