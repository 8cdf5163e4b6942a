// Processes: the environment, child programs run within limits, this program's own memory
// cap and arguments.
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
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

#ifdef _WIN32

namespace {

// One argument as the C runtime splits a command line: quoted, inner quotes and the
// backslashes before them escaped.
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

// A job whose processes are held to the limits and end when its last handle closes: a
// reader stuck in a damaged file dies with the program that started it.
HANDLE LimitingJob(std::uint64_t memory_bytes) {
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
  info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY |
                                          JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                                          JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  info.ProcessMemoryLimit = static_cast<SIZE_T>(memory_bytes);
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof info)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

}  // namespace

ChildOutcome RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const ChildLimits& limits) {
  std::wstring line = Quoted(program.wstring());
  for (const std::string& arg : args) line += L" " + Quoted(PathFromUtf8(arg).wstring());
  const HANDLE job = LimitingJob(limits.memory_bytes);
  if (job == nullptr) return {};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Suspended until it is in the job, so that it takes nothing outside the limits.
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process)) {
    CloseHandle(job);
    return {};
  }
  if (!AssignProcessToJobObject(job, process.hProcess)) {
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    return {};
  }
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  ChildOutcome outcome;
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(limits.time.count())) ==
      WAIT_TIMEOUT) {
    TerminateJobObject(job, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    outcome.end = ChildEnd::TimedOut;
  } else {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    // An exception that ended the process leaves its NTSTATUS, 0xC0000000 and up.
    outcome.end = code >= 0xC0000000u ? ChildEnd::Crashed : ChildEnd::Exited;
    outcome.exit_code = static_cast<int>(code);
  }
  CloseHandle(process.hProcess);
  CloseHandle(job);
  return outcome;
}

void LimitOwnMemory(std::uint64_t bytes) {
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
  info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
  info.ProcessMemoryLimit = static_cast<SIZE_T>(bytes);
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof info);
  AssignProcessToJobObject(job, GetCurrentProcess());
}

std::uint64_t ProcessId() { return GetCurrentProcessId(); }

std::vector<std::string> ProgramArguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; wide != nullptr && i < count; ++i)
    args.push_back(Utf8(std::filesystem::path(wide[i])));
  LocalFree(wide);
  return args;
}

#else

ChildOutcome RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const ChildLimits& limits) {
  std::vector<std::string> all = {program.string()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  // The child's own output goes nowhere: a damaged file can make a library print without end.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return {};
  const auto deadline = std::chrono::steady_clock::now() + limits.time;
  auto pause = std::chrono::microseconds(200);
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 && errno != EINTR) return {};
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(child, SIGKILL);
      while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
      return {ChildEnd::TimedOut, -1};
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(20'000));
  }
  if (WIFEXITED(status)) return {ChildEnd::Exited, WEXITSTATUS(status)};
  return {ChildEnd::Crashed, -1};
}

void LimitOwnMemory(std::uint64_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer's shadow memory takes terabytes of address space: a limit on it would
  // stop the sanitized build's reader before it reads anything.
  (void)bytes;
  return;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  (void)bytes;
  return;
#endif
#endif
  const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  setrlimit(RLIMIT_AS, &limit);
}

std::uint64_t ProcessId() { return static_cast<std::uint64_t>(getpid()); }

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

// A terminal here reads the program's UTF-8 as it is.
void UseUtf8Console() {}

#endif

}  // namespace threadgauge
