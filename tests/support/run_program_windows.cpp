// Starting a program as a user does, on Windows: CreateProcessW with its UTF-16 command line
// and environment, its output into files.
#include <windows.h>
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <cwctype>
#include <map>

#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u8string text(utf8.begin(), utf8.end());
  return std::filesystem::path(text).wstring();
}

// One argument as the C runtime splits a command line.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

struct NoCase {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
  }
};

HANDLE Inheritable(const std::filesystem::path& path, DWORD access, DWORD creation) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Under Wine the tests read PDFs and workbooks back with Debian's own tools (pdftotext,
// unzip, mdb-export) and change folders' rights with chmod and chattr: Unix programs, named
// without a folder, given the Unix names of the files.
bool IsUnixTool(const std::string& program) {
  return program.find_first_of("\\/.") == std::string::npos;
}

template <typename Function>
Function WineFunction(const wchar_t* module, const char* name) {
  const HMODULE loaded = GetModuleHandleW(module);
  const FARPROC found = loaded == nullptr ? nullptr : GetProcAddress(loaded, name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

std::string UnixName(const std::string& arg) {
  using NameConversion = char* (*)(const wchar_t*);
  static const auto to_unix =
      WineFunction<NameConversion>(L"kernel32.dll", "wine_get_unix_file_name");
  // A drive's path, or one rooted on the current drive that Windows has joined with '\\'.
  const bool on_drive = arg.size() > 2 && arg[1] == ':' && (arg[2] == '\\' || arg[2] == '/');
  const bool rooted =
      !arg.empty() && (arg[0] == '/' || arg[0] == '\\') && arg.find('\\') != std::string::npos;
  if (!(on_drive || rooted) || to_unix == nullptr) return arg;
  char* name = to_unix(Wide(arg).c_str());
  if (name == nullptr) return arg;
  std::string unix_name(name);
  HeapFree(GetProcessHeap(), 0, name);
  return unix_name;
}

// CreateProcessW starts a Unix program without a handle to wait on, and without the Windows
// handles for its output; Wine's own spawn waits, and a shell puts the output and the exit
// status into files.
ProgramRun RunUnixTool(const std::vector<std::string>& argv) {
  using Spawn = LONG(__cdecl*)(char* const*, int);
  static const auto spawn = WineFunction<Spawn>(L"ntdll.dll", "__wine_unix_spawnvp");
  ProgramRun run;
  if (spawn == nullptr) return run;
  testing::TemporaryFolder folder;
  std::vector<std::string> all = {
      "/bin/sh", "-c", R"(o=$1 e=$2 s=$3; shift 3; "$@" >"$o" 2>"$e"; echo $? >"$s")", "sh"};
  for (const char* name : {"out", "err", "status"})
    all.push_back(UnixName(Utf8(folder.path() / name)));
  all.push_back("/usr/bin/" + argv[0]);
  for (size_t i = 1; i < argv.size(); ++i) all.push_back(UnixName(argv[i]));
  std::vector<char*> pointers;
  for (std::string& arg : all) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  if (spawn(pointers.data(), 1) != 0) return run;
  run.out = testing::ReadBytes(folder.path() / "out");
  run.err = testing::ReadBytes(folder.path() / "err");
  const std::string status = testing::ReadBytes(folder.path() / "status");
  if (!status.empty()) run.exit = std::stoi(status);
  return run;
}

std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& arg : argv) line += (line.empty() ? L"" : L" ") + Quoted(Wide(arg));
  return line;
}

}  // namespace

ProgramRun RunProgram(
    const std::vector<std::string>& argv,
    const std::vector<std::pair<std::string, std::optional<std::string>>>& environment) {
  if (!argv.empty() && IsUnixTool(argv[0])) return RunUnixTool(argv);
  testing::TemporaryFolder folder;
  std::map<std::wstring, std::wstring, NoCase> variables;
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
      const wchar_t* eq = wcschr(entry + 1, L'=');  // "=C:" entries start with '='
      if (eq != nullptr) variables[std::wstring(entry, eq)] = eq + 1;
    }
    FreeEnvironmentStringsW(block);
  }
  for (const auto& [name, value] : environment) {
    if (value) {
      variables[Wide(name)] = Wide(*value);
    } else {
      variables.erase(Wide(name));
    }
  }
  std::wstring block;
  for (const auto& [name, value] : variables) block += name + L"=" + value + L'\0';
  block += L'\0';
  std::wstring line = CommandLine(argv);

  const auto out_path = folder.path() / "out";
  const auto err_path = folder.path() / "err";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = Inheritable(out_path, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = Inheritable(err_path, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                      CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                                      nullptr, &startup, &process);
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  ProgramRun run;
  if (!started) return run;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.exit = code >= 0xC0000000u ? -1 : static_cast<int>(code);
  run.out = testing::ReadBytes(out_path);
  run.err = testing::ReadBytes(err_path);
  return run;
}

RunningProgram::RunningProgram(const std::vector<std::string>& argv) {
  std::wstring line = CommandLine(argv);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = Inheritable("NUL", GENERIC_WRITE, OPEN_EXISTING);
  startup.hStdError = Inheritable("NUL", GENERIC_WRITE, OPEN_EXISTING);
  PROCESS_INFORMATION process{};
  started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            nullptr, &startup, &process) != 0;
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  if (!started_) return;
  CloseHandle(process.hThread);
  handle_ = reinterpret_cast<std::intptr_t>(process.hProcess);
  id_ = process.dwProcessId;
}

bool RunningProgram::Kill() {
  if (!started_ || ended_) return false;
  const auto process = reinterpret_cast<HANDLE>(handle_);
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  TerminateProcess(process, 1);
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  ended_ = true;
  return running;
}

RunningProgram::~RunningProgram() { Kill(); }

// Windows keeps no read-only bit on folders that stops writing, and Wine maps Unix rights to
// Windows': the folder is made unwritable on the Unix side, immutable with chattr (root writes
// anywhere the permissions forbid) or, for another user, by its permissions.
ReadOnlyFolder::ReadOnlyFolder(std::string path) : path_(std::move(path)) {
  immutable_ = RunProgram({"chattr", "+i", path_}).exit == 0;
  if (!immutable_) {
    const ProgramRun run = RunProgram({"chmod", "a-w", path_});
    EXPECT_EQ(run.exit, 0) << "cannot make " << path_ << " read-only: " << run.err;
  }
}

ReadOnlyFolder::~ReadOnlyFolder() {
  RunProgram(immutable_ ? std::vector<std::string>{"chattr", "-i", path_}
                        : std::vector<std::string>{"chmod", "u+w", path_});
}

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
  SetEnvironmentVariableW(Wide(name).c_str(), value ? Wide(*value).c_str() : nullptr);
  _wputenv_s(Wide(name).c_str(), value ? Wide(*value).c_str() : L"");
}

}  // namespace threadgauge
