#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/file_stamp.h"
#include "platform/platform.h"

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

namespace {

std::optional<SqliteHeader> HeaderOf(const std::array<unsigned char, 40>& header) {
  SqliteHeader read;
  std::copy(header.begin() + 24, header.end(), read.state.begin());
  read.wal = header[18] == 2 || header[19] == 2;  // the file format's read and write versions
  return read;
}

}  // namespace

// Read at every calculation: the system's calls, not a stream with its locale.
std::optional<SqliteHeader> ReadSqliteHeader(const std::filesystem::path& path) {
  std::array<unsigned char, 40> header{};
  if (!ReadFileStart(path, header.data(), header.size())) return std::nullopt;
  return HeaderOf(header);
}

std::optional<SqliteHeader> ReadSqliteHeader(const HeldFile& file) {
  std::array<unsigned char, 40> header{};
  if (!file.ReadStart(header.data(), header.size())) return std::nullopt;
  return HeaderOf(header);
}

std::uint32_t SqliteHeader::ChangeCounter() const {
  return (std::uint32_t{state[0]} << 24) | (std::uint32_t{state[1]} << 16) |
         (std::uint32_t{state[2]} << 8) | std::uint32_t{state[3]};
}

}  // namespace threadgauge
