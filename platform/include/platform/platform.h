#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace threadgauge {

// The few calls that differ between operating systems.

// Sets an environment variable for as long as the object lives, then puts back what was
// there before (or removes it).
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(std::string name, const std::string& value);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Reads the first `count` bytes of a file; false when it has fewer or cannot be read.
bool ReadFileStart(const std::filesystem::path& path, unsigned char* bytes, size_t count);

// How a child process ended.
enum class ChildEnd { Exited, Crashed, TimedOut, NotStarted };
struct ChildOutcome {
  ChildEnd end = ChildEnd::NotStarted;
  int exit_code = -1;  // Exited
};

// What a child may take: a child still running after `time` is killed. On Windows it runs in
// a Job Object that holds both limits and ends it with this process; elsewhere the child caps
// its own memory (LimitOwnMemory).
struct ChildLimits {
  std::chrono::milliseconds time;
  std::uint64_t memory_bytes;
};

// Runs `program` with the arguments (UTF-8) within the limits. Nothing goes through a shell.
ChildOutcome RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const ChildLimits& limits);

// Caps the address space of this process, so that a runaway reading fails instead of
// taking the machine's memory.
void LimitOwnMemory(std::uint64_t bytes);

// This process's number, for names of temporary files.
std::uint64_t ProcessId();

}  // namespace threadgauge
