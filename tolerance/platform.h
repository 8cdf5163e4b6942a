#pragma once

#include <optional>
#include <string>
#include <string_view>

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

}  // namespace threadgauge
