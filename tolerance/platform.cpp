// The one place that asks the operating system for what differs between systems.
#include "platform.h"

#include <cstdlib>

#include "tolerance/data_location.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace threadgauge {

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  const DWORD size = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(size);
  return std::filesystem::path(buffer).parent_path();
#else
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
#endif
}

std::optional<std::filesystem::path> UserDataDirectory() {
  const std::filesystem::path program = std::filesystem::path("threadgauge");
#ifdef _WIN32
  // Qt's AppDataLocation on Windows: the roaming application data folder.
  if (const wchar_t* appdata = _wgetenv(L"APPDATA"); appdata != nullptr && *appdata != L'\0') {
    return std::filesystem::path(appdata) / program;
  }
  return std::nullopt;
#else
  // Qt's AppDataLocation elsewhere: $XDG_DATA_HOME when it is an absolute path, else
  // ~/.local/share; no organisation folder, as the program sets none.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
    return std::filesystem::path(xdg) / program;
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".local" / "share" / program;
  }
  return std::nullopt;
#endif
}

namespace {

void SetVariable(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
#endif
}

}  // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)) {
  if (const char* previous = std::getenv(name_.c_str())) previous_ = previous;
  SetVariable(name_, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() { SetVariable(name_, previous_); }

}  // namespace threadgauge
