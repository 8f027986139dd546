#include "support/core_harness.h"

#include "core/module_main.h"
#include "platform/scripted/scripted_window_system.h"

namespace brevak::testing {

CoreHarness::CoreHarness() {
  SetRegistryValues("@=\"C:\\\\Program Files\\\\Brevak\\\\Brevak.exe\"");
  version_files.AddFile("C:\\Program Files\\Brevak\\\\Brevak.exe", "5.06.0004");
  version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0005");
  folders.files[kInstallDir] = {{u"Brevak.exe"}, {u"Customerdata.car"}, {u"Addr.mdb"}};
  folders.files[u"C:\\pkg"] = {{u"Brevak.exe"}};
}

void CoreHarness::SetRegistryValues(const std::string& value_lines) {
  prefix.WriteSystemReg(TempPrefix::SystemRegWithKey(
      "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Brevak.exe",
      value_lines));
}

Platform CoreHarness::MakePlatform(Registry& registry, WindowSystem& window) {
  ShellCopy* shell_copy = shell_instead != nullptr ? shell_instead : &shell;
  Database* engine = database_instead != nullptr ? database_instead : &database;
  return Platform{&registry, &version_files, shell_copy,     engine,          &folders,       &window,
                  &clock,    &code_page,     &instance_lock, &data_file_use, &durable_files, &log_files,
                  &file_digests};
}

void CoreHarness::CopyDatabasesAsTheShell(const bool& interrupt) {
  shell.on_call = [this, &interrupt] {
    const std::u16string install = u"C:\\Program Files\\Brevak";
    const std::string to = shell.requests.back().pTo, from = shell.requests.back().pFrom;
    if (to == "C:\\Program Files\\Brevak\\") return;
    if (to != "C:\\Program Files\\Brevak\\\\") {
      const std::u16string folder(to.begin(), to.end() - 1);
      folders.files[folder] = folders.files[install];
      folders.subfolders[kInstallDir].push_back(folder.substr(install.size() + 1));
      clock.readings = {{2012, 12, 25, 5, 14, 22 + static_cast<int>(shell.requests.size())}};
      return;
    }
    const size_t cut = from.find("\\\\") + 2;
    const std::string source = from.substr(cut, from.find("\\*.*") - cut);
    const auto files = folders.files[install + u"\\" + std::u16string(source.begin(), source.end())];
    for (size_t i = 0; i < (interrupt ? 1 : files.size()); ++i) {
      for (FakeFile& file : folders.files[install]) {
        if (file.name == files[i].name) file = files[i];
      }
    }
    if (interrupt) shell.outcomes.push_back({112, 0, 112});
  };
}

std::vector<std::string> CoreHarness::Run(const std::string& script) {
  std::istringstream script_stream(script);
  std::ostringstream transcript;
  std::ostringstream diagnostics;
  const posix::WinePrefix wine(prefix.root());
  posix::PosixRegistry registry(wine, code_page, diagnostics);
  ScriptedWindowSystem window(script_stream, transcript);
  Platform platform = MakePlatform(registry, window);
  form = std::make_unique<FormUpdate>(platform);
  const std::function<void()> on_copy = shell.on_call;
  busy_reasons_at_copies.clear();
  shell.on_call = [&] {
    busy_reasons_at_copies.push_back(window.busy_reason());
    if (on_copy) on_copy();
  };
  exit_code_ = window.Run([&] { Main(platform, *form); });
  shell.on_call = on_copy;

  std::vector<std::string> lines;
  std::istringstream in(transcript.str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> CoreHarness::LinesStartingWith(const std::vector<std::string>& transcript,
                                                        const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : transcript) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  }
  return lines;
}

}  // namespace brevak::testing
