#pragma once

#include <filesystem>
#include <string>

namespace threadgauge::testing {

// Damage as files meet it: a page a failing disk zeroed (the engine's pages are 4096 bytes
// here, the first is 1), a copy broken off, one bit of a stored number flipped (the engine
// holds a REAL as 8 bytes, big-endian; the bytes must occur in the file).
std::string ZeroPage(std::string bytes, size_t page);
std::string BrokenOff(const std::string& bytes, double kept_share);
std::string FlipBitOf(std::string bytes, double value);

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace threadgauge::testing
