// Times the shell copy against `cp` + `sync` on the same files and disk,
// and shows that its memory does not grow with the size of the files.
//
//   copy-bench [SIZE_MB [ROUNDS [FOLDER]]]
//
// SIZE_MB (default 1024) of data files are made in a temporary prefix in
// FOLDER (default: the temporary folder). The backup-shaped request and
// then the package-shaped request run through PosixShellCopy; then `cp`
// copies the same files the same way and `sync` flushes them. ROUNDS
// (default 2) alternate the two; the best time of each counts, since the
// disk may be shared with other work.

#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/shell_copy/posix_shell_copy.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using Seconds = std::chrono::duration<double>;

// A window that shows nothing and never cancels.
class NullWindow : public WindowSystem {
 public:
  int Run(const std::function<void()>& main) override { main(); return 0; }
  int MsgBox(const std::u16string&, MsgBoxButtons) override { ++message_boxes; return vbYes; }
  void Show(FormEvents*) override {}
  void Unload() override {}
  uintptr_t hWnd() override { return 1; }
  void SetCaption(Control, const std::u16string&) override {}
  void SetLeft(Control, int) override {}
  void SetVisible(Control, bool) override {}
  void AddItem(const std::u16string&) override {}
  void RemoveItem(int16_t) override {}
  int16_t ListCount() override { return 0; }
  int16_t ListIndex() override { return -1; }
  std::u16string List(int16_t) override { return {}; }
  float ProgressValue() override { return 0; }
  void SetProgressValue(float) override {}
  bool ShowOperationProgress(const std::u16string&, double) override { return true; }
  void HideOperationProgress() override {}
  void DoEvents() override {}
  void SetBusyReason(const std::u16string&) override {}

  int message_boxes = 0;
};

// The data files of an installation, as shares of the total size.
struct DataFile { const char* name; double share; };
constexpr DataFile kFiles[] = {
    {"Customerdata.car", 0.55}, {"Addr.mdb", 0.30}, {"Brevak.exe", 0.149}, {"Brevak.ini", 0.001},
};

// Writes `bytes` of varied data through one fixed buffer.
void MakeFile(const fs::path& path, uint64_t bytes, std::mt19937_64& random) {
  std::vector<uint64_t> buffer((1 << 20) / sizeof(uint64_t));
  for (uint64_t& word : buffer) word = random();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (uint64_t left = bytes; left > 0;) {
    buffer[0] = random();
    const uint64_t n = std::min<uint64_t>(left, buffer.size() * sizeof(uint64_t));
    out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(n));
    left -= n;
  }
}

void MakeData(const fs::path& folder, uint64_t total_bytes, uint64_t seed) {
  std::mt19937_64 random(seed);
  fs::create_directories(folder);
  for (const DataFile& file : kFiles) {
    MakeFile(folder / file.name, static_cast<uint64_t>(static_cast<double>(total_bytes) * file.share), random);
  }
}

// A Wine-style prefix: drive_c and dosdevices/c: -> ../drive_c.
fs::path MakePrefix(const fs::path& base) {
  std::string pattern = (base / "brevak-copy-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed in " + base.string());
  const fs::path root = pattern;
  fs::create_directories(root / "drive_c");
  fs::create_directories(root / "dosdevices");
  fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");
  return root;
}

std::string SourceList(const std::vector<std::string>& patterns) {
  std::string list;
  for (const std::string& pattern : patterns) list += pattern + '\0';
  return list + '\0';
}

int32_t Request(PosixShellCopy& shell, const std::string& from, const std::string& to, uint16_t flags) {
  ShFileOpStruct op;
  op.hwnd = 1;
  op.wFunc = FO_COPY;
  op.pFrom = from;
  op.pTo = to;
  op.fFlags = flags;
  const int32_t result = shell.SHFileOperationA(&op);
  if (result != 0 || op.fAnyOperationsAborted != 0) {
    std::fprintf(stderr, "request failed: result %d, aborted %d\n", result, op.fAnyOperationsAborted);
    std::exit(1);
  }
  return result;
}

// The update's two requests: the backup into a new folder, then the
// package over the installation. Returns the seconds they took.
double RunShellCopy(const fs::path& root, const std::string& backup_name, NullWindow& window) {
  IconvCodePage code_page;
  PosixShellCopy shell(WinePrefix(root), code_page, window);
  const std::string install = "C:\\Brevak\\";
  const std::string package = "C:\\Pkg";
  const auto start = std::chrono::steady_clock::now();
  Request(shell, SourceList({install + "*.car", install + "*.mdb", install + "\\Brevak.*", install + "\\*.ini"}),
          install + backup_name + "\\", FOF_NOCONFIRMMKDIR | FOF_MULTIDESTFILES);
  Request(shell,
          SourceList({package + "\\*.car", package + "\\*.mdb", package + "\\vkUserControlsXP.*",
                      package + "\\adb*.*", package + "\\Brevak.*", package + "\\*.ini"}),
          install, FOF_NOCONFIRMATION | FOF_MULTIDESTFILES);
  return Seconds(std::chrono::steady_clock::now() - start).count();
}

int RunProgram(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same copies by `cp`, then `sync`. Returns the seconds they took.
double RunCp(const fs::path& root, const std::string& backup_name) {
  const fs::path install = root / "drive_c" / "Brevak";
  const fs::path package = root / "drive_c" / "Pkg";
  fs::create_directories(install / backup_name);
  std::vector<std::string> backup = {"cp"}, over = {"cp"};
  for (const DataFile& file : kFiles) {
    backup.push_back((install / file.name).string());
    over.push_back((package / file.name).string());
  }
  backup.push_back((install / backup_name).string());
  over.push_back(install.string());
  const auto start = std::chrono::steady_clock::now();
  if (RunProgram(backup) != 0 || RunProgram(over) != 0 || RunProgram({"sync"}) != 0) {
    std::fprintf(stderr, "cp failed\n");
    std::exit(1);
  }
  return Seconds(std::chrono::steady_clock::now() - start).count();
}

// What a timed run in a child process reports back.
struct ChildRun {
  double seconds = 0;
  double peak_rss_mb = 0;
};

// Runs `work` in a fresh child process and reports its time and peak
// resident memory. A fresh process keeps the kernel's throttling of the
// process that wrote the test data out of the measurement, and its
// ru_maxrss belongs to the copy alone.
ChildRun InChild(const std::function<double()>& work) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = fork();
  if (child == 0) {
    ChildRun run;
    run.seconds = work();
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    run.peak_rss_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
    const bool written = write(pipe_fds[1], &run, sizeof run) == static_cast<ssize_t>(sizeof run);
    _exit(written ? 0 : 1);
  }
  close(pipe_fds[1]);
  ChildRun run;
  const bool read_all = read(pipe_fds[0], &run, sizeof run) == static_cast<ssize_t>(sizeof run);
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!read_all || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the timed run failed\n");
    std::exit(1);
  }
  return run;
}

// Makes the installation's and the package's data files, on the disk.
void MakeInstallation(const fs::path& root, uint64_t bytes) {
  MakeData(root / "drive_c" / "Brevak", bytes, 1);
  MakeData(root / "drive_c" / "Pkg", bytes, 2);
  sync();
}

ChildRun ShellCopyInChild(const fs::path& root, const std::string& backup_name) {
  return InChild([&] {
    NullWindow window;
    const double seconds = RunShellCopy(root, backup_name, window);
    if (window.message_boxes != 0) std::exit(1);
    return seconds;
  });
}

}  // namespace
}  // namespace brevak::posix

int main(int argc, char** argv) {
  using namespace brevak::posix;
  const uint64_t size_mb = argc > 1 ? std::stoull(argv[1]) : 1024;
  const int rounds = argc > 2 ? std::max(1, std::stoi(argv[2])) : 2;
  const fs::path base = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
  const uint64_t small_mb = std::max<uint64_t>(1, size_mb / 16);
  const fs::path root = MakePrefix(base);
  const fs::path install = root / "drive_c" / "Brevak";
  std::printf("prefix %s\n", root.c_str());

  MakeInstallation(root, small_mb << 20);
  const ChildRun small = ShellCopyInChild(root, "small");
  fs::remove_all(root / "drive_c");
  fs::create_directories(root / "drive_c");

  MakeInstallation(root, size_mb << 20);
  double ours = 1e9, cp = 1e9, big_rss = 0;
  for (int round = 0; round < rounds; ++round) {
    const ChildRun run = ShellCopyInChild(root, "backup");
    ours = std::min(ours, run.seconds);
    big_rss = std::max(big_rss, run.peak_rss_mb);
    fs::remove_all(install / "backup");
    sync();
    cp = std::min(cp, RunCp(root, "cp-backup"));
    fs::remove_all(install / "cp-backup");
    sync();
  }
  const double mb = 2.0 * static_cast<double>(size_mb);
  const auto size = static_cast<unsigned long long>(size_mb);
  std::printf("shell copy of 2 x %llu MB: %.2f s (%.0f MB/s)\n", size, ours, mb / ours);
  std::printf("cp + sync of 2 x %llu MB:  %.2f s (%.0f MB/s)\n", size, cp, mb / cp);
  std::printf("ratio shell copy / cp+sync: %.3f (goal 1.10 or less), best of %d rounds\n", ours / cp, rounds);
  std::printf("peak RSS of the shell copy: %.1f MB for 2 x %llu MB, %.1f MB for 2 x %llu MB\n", small.peak_rss_mb,
              static_cast<unsigned long long>(small_mb), big_rss, size);
  fs::remove_all(root);
  return 0;
}
