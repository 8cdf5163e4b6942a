#include <array>
#include <cstring>
#include <fstream>
#include <vector>

#include "tolerance/file_stamp.h"

namespace threadgauge {

std::optional<std::uint64_t> ContentHash(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // Eight bytes at a time, each word mixed in by a multiply and a rotation: not for
  // adversaries, for telling one state of a file from another at the speed of reading it.
  std::uint64_t hash = 0x9E3779B97F4A7C15u;
  std::vector<char> buffer(1 << 16);
  std::uint64_t length = 0;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<size_t>(in.gcount());
    if (got == 0) break;
    length += got;
    // The buffer is a whole number of words, so the last word's padding always fits.
    std::memset(buffer.data() + got, 0, (8 - got % 8) % 8);
    for (size_t i = 0; i < got; i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, buffer.data() + i, 8);
      hash = (hash ^ word) * 0xFF51AFD7ED558CCDu;
      hash = (hash << 29) | (hash >> 35);
    }
  }
  if (in.bad()) return std::nullopt;
  return hash ^ length;
}

std::optional<std::uint32_t> SqliteChangeCounter(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 28> header{};
  if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return std::nullopt;
  // Bytes 24 … 27, big-endian.
  return (std::uint32_t{header[24]} << 24) | (std::uint32_t{header[25]} << 16) |
         (std::uint32_t{header[26]} << 8) | std::uint32_t{header[27]};
}

}  // namespace threadgauge
