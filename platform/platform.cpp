// The one place that asks the operating system for what differs between systems.
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/data_location.h"
#include "platform/file_stamp.h"
#include "platform/terminal.h"
#include "platform/utf8.h"

#ifdef _WIN32
// windows.h first: the other system headers rely on its types.
#include <windows.h>
// clang-format off
#include <io.h>
#include <shellapi.h>
// clang-format on
#else
#include <fcntl.h>
#include <glib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;
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
  // Without /proc (a chroot, a sandbox): where the package installs the programs, never the
  // folder the user happens to be in.
  if (ec) return std::filesystem::path(THREADGAUGE_INSTALLED_BINDIR);
  return exe.parent_path();
#endif
}

#ifdef _WIN32

namespace {

// The Windows code page of a character set's name.
std::optional<UINT> CodePageOf(std::string_view charset) {
  // GBK is GB18030's two-byte part, which is what spreadsheets write; a system without the
  // GB18030 code page (Wine) reads it as GBK.
  if (charset == "GB18030") return IsValidCodePage(54936) ? 54936 : 936;
  if (charset == "GBK") return 936;
  if (charset == "BIG5") return 950;
  if (charset.starts_with("CP")) {
    const std::string digits(charset.substr(2));
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos &&
        digits.size() < 6) {
      const auto page = static_cast<UINT>(std::stoul(digits));
      if (IsValidCodePage(page)) return page;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ConvertToUtf8(std::string_view bytes, const char* charset) {
  const auto page = CodePageOf(charset);
  if (!page) return std::nullopt;
  if (bytes.empty()) return std::string();
  const int size = static_cast<int>(bytes.size());
  const int units =
      MultiByteToWideChar(*page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (units <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(*page, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), units);
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

#else

std::optional<std::string> ConvertToUtf8(std::string_view bytes, const char* charset) {
  gsize written = 0;
  GError* error = nullptr;
  gchar* converted = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", charset,
                               nullptr, &written, &error);
  if (error != nullptr) {
    g_error_free(error);
    g_free(converted);
    return std::nullopt;
  }
  if (converted == nullptr) return std::nullopt;
  std::string text(converted, written);
  g_free(converted);
  return text;
}

#endif

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

bool ReadFileStart(const std::filesystem::path& path, unsigned char* bytes, size_t count) {
#ifdef _WIN32
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD got = 0;
  const BOOL read = ReadFile(file, bytes, static_cast<DWORD>(count), &got, nullptr);
  CloseHandle(file);
  return read && got == count;
#else
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  const ssize_t got = pread(file, bytes, count, 0);
  close(file);
  return got == static_cast<ssize_t>(count);
#endif
}

#ifdef _WIN32

std::optional<HeldFile> HeldFile::Open(const std::filesystem::path& path) {
  // Shared for writing and deleting, so other programs may still change or replace it.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  return HeldFile(reinterpret_cast<std::intptr_t>(file));
}

bool HeldFile::ReadStart(unsigned char* bytes, size_t count) const {
  OVERLAPPED at{};
  DWORD got = 0;
  return ReadFile(reinterpret_cast<HANDLE>(handle_), bytes, static_cast<DWORD>(count), &got, &at) &&
         got == count;
}

HeldFile::~HeldFile() {
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

#else

std::optional<HeldFile> HeldFile::Open(const std::filesystem::path& path) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return std::nullopt;
  return HeldFile(file);
}

bool HeldFile::ReadStart(unsigned char* bytes, size_t count) const {
  return pread(static_cast<int>(handle_), bytes, count, 0) == static_cast<ssize_t>(count);
}

HeldFile::~HeldFile() {
  if (handle_ != kNone) close(static_cast<int>(handle_));
}

#endif

#ifdef _WIN32
namespace {

// The system's reason as the portable one the rest of the program tells the user, where there
// is one; the Windows code as it is otherwise.
std::error_code PortableError(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return std::make_error_code(std::errc::file_exists);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    default:
      return std::error_code(static_cast<int>(code), std::system_category());
  }
}

}  // namespace
#endif

std::error_code CreateNewFile(const std::filesystem::path& path) {
#ifdef _WIN32
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return PortableError(GetLastError());
  CloseHandle(file);
  return {};
#else
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (file < 0) return std::error_code(errno, std::generic_category());
  close(file);
  return {};
#endif
}

}  // namespace threadgauge
