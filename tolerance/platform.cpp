// The one place that asks the operating system for what differs between systems.
#include "platform.h"

#include <cstdio>
#include <cstdlib>

#include "tolerance/data_location.h"
#include "tolerance/file_stamp.h"
#include "tolerance/terminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

std::optional<FileStamp> StampOf(const std::filesystem::path& path) {
#ifdef _WIN32
  const HANDLE file =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL got = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!got) return std::nullopt;
  FileStamp stamp;
  stamp.device = info.dwVolumeSerialNumber;
  stamp.file = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  stamp.size = (std::uintmax_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  stamp.modified_ns =
      static_cast<std::int64_t>(((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                 info.ftLastWriteTime.dwLowDateTime) *
                                100);
  return stamp;
#else
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  FileStamp stamp;
  stamp.device = static_cast<std::uint64_t>(info.st_dev);
  stamp.file = static_cast<std::uint64_t>(info.st_ino);
  stamp.size = static_cast<std::uintmax_t>(info.st_size);
  stamp.modified_ns =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  return stamp;
#endif
}

std::error_code CreateNewFile(const std::filesystem::path& path) {
#ifdef _WIN32
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
  }
  CloseHandle(file);
  return {};
#else
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (file < 0) return std::error_code(errno, std::generic_category());
  close(file);
  return {};
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
