// The one place that asks the operating system for what differs between systems.
#include "tolerance/platform.h"

#include "tolerance/data_location.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <iconv.h>

#include <cstdlib>
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

void SetEnvironmentVariable(const std::string& name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value.c_str());
#else
  setenv(name.c_str(), value.c_str(), 1);
#endif
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
#ifdef _WIN32
  const int wide_size = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(),
                                            static_cast<int>(gbk.size()), nullptr, 0);
  if (wide_size == 0 && !gbk.empty()) return std::nullopt;
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                      wide.data(), wide_size);
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, utf8.data(), size, nullptr, nullptr);
  return utf8;
#else
  iconv_t convert = iconv_open("UTF-8", "GBK");
  if (convert == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(gbk);
  std::string out(in.size() * 3 / 2 + 8, '\0');
  char* in_ptr = in.data();
  size_t in_left = in.size();
  char* out_ptr = out.data();
  size_t out_left = out.size();
  const size_t done = iconv(convert, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(convert);
  if (done == static_cast<size_t>(-1) || in_left != 0) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
#endif
}

}  // namespace threadgauge
