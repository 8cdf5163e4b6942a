// The command line's output on a Windows console. A console shows UTF-16 characters; bytes
// written to it are read in its code page, which cmd.exe and PowerShell keep at the OEM code
// page unless told otherwise, and which some consoles (and Wine's) do not honour for UTF-8
// at all. So a stream that goes to a console is written as characters, with WriteConsoleW;
// a stream into a file or a pipe stays the program's UTF-8 bytes, line ends untouched.
#include <windows.h>
// clang-format off
#include <fcntl.h>
#include <io.h>
// clang-format on

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

#include "platform/terminal.h"

namespace threadgauge {
namespace {

class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) pending_.push_back(traits_type::to_char_type(c));
    if (c == '\n' || pending_.size() >= 4096) WriteWhole();
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    WriteWhole();
    return n;
  }
  int sync() override {
    WriteWhole();
    return 0;
  }

 private:
  // Writes every whole UTF-8 character; a character cut between two writes waits for its
  // remaining bytes.
  void WriteWhole() {
    size_t whole = pending_.size();
    size_t back = 0;
    while (back < 3 && back < whole &&
           (static_cast<unsigned char>(pending_[whole - 1 - back]) & 0xC0) == 0x80)
      ++back;
    if (back < whole) {
      const unsigned char lead = static_cast<unsigned char>(pending_[whole - 1 - back]);
      const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (length > back + 1) whole -= back + 1;
    }
    if (whole == 0) return;
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), wide.data(), size);
    DWORD written = 0;
    WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    pending_.erase(0, whole);
  }

  HANDLE console_;
  std::string pending_;
};

// Whether the handle is a console's screen (GetConsoleMode fails on files and pipes).
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

void ToConsole(std::ostream& stream, DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  if (!IsConsole(handle)) return;
  static ConsoleBuffer* buffers[2] = {};
  ConsoleBuffer*& buffer = buffers[which == STD_OUTPUT_HANDLE ? 0 : 1];
  if (buffer == nullptr) buffer = new ConsoleBuffer(handle);  // lives as long as the stream
  stream.rdbuf(buffer);
}

}  // namespace

void UseUtf8Console() {
  // The bytes as the program writes them: a CSV's own CRLF must not become CR CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  ToConsole(std::cout, STD_OUTPUT_HANDLE);
  ToConsole(std::cerr, STD_ERROR_HANDLE);
  ToConsole(std::clog, STD_ERROR_HANDLE);
}

}  // namespace threadgauge
