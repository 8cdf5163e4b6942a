#include "support/file_damage.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace threadgauge::testing {

std::string ZeroPage(std::string bytes, size_t page) {
  constexpr size_t kPage = 4096;
  EXPECT_LE(page * kPage, bytes.size());
  std::memset(bytes.data() + (page - 1) * kPage, 0, kPage);
  return bytes;
}

std::string BrokenOff(const std::string& bytes, double kept_share) {
  return bytes.substr(0, static_cast<size_t>(static_cast<double>(bytes.size()) * kept_share));
}

std::string FlipBitOf(std::string bytes, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  std::string pattern(8, '\0');
  for (int i = 0; i < 8; ++i) pattern[i] = static_cast<char>(bits >> (56 - 8 * i));
  const size_t at = bytes.find(pattern);
  EXPECT_NE(at, std::string::npos) << "the number is not in the file";
  if (at != std::string::npos) bytes[at + 7] ^= 0x04;
  return bytes;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace threadgauge::testing
