#include "core/guard_texts.h"

#include "core/vb_text.h"

namespace brevak::guard_text {
namespace {

// A list of names is shown whole up to this many, then cut with a count.
constexpr size_t kNamesShown = 6;

std::u16string NameList(const std::vector<std::u16string>& names) {
  const std::u16string separator = prompt::Fill(prompt::Id::kNameSeparator);
  std::u16string list;
  for (size_t i = 0; i < names.size() && i < kNamesShown; ++i) list += (i == 0 ? u"" : separator) + names[i];
  if (names.size() <= kNamesShown) return list;
  return prompt::Fill(prompt::Id::kMoreFiles,
                      {{u"names", list}, {u"count", vb::CStr(static_cast<int32_t>(names.size()))}});
}

}  // namespace

std::u16string WindowsPath(const std::u16string& path) {
  std::u16string shown;
  for (const char16_t c : path) {
    if (c == u'\\' && !shown.empty() && shown.back() == u'\\') continue;
    shown += c;
  }
  if (shown.size() > 1 && shown.back() == u'\\') shown.pop_back();
  return shown;
}

std::u16string InstallationNotFound(const std::u16string& run, const std::u16string& install_dir) {
  const std::u16string where =
      install_dir.empty()
          ? prompt::Fill(prompt::Id::kNotRegistered)
          : prompt::Fill(prompt::Id::kRegisteredFolderWithoutProgram, {{u"folder", WindowsPath(install_dir)}});
  return prompt::Fill(prompt::Id::kInstallationNotFound, {{u"run", run}, {u"where", where}});
}

std::u16string PackageNotExtracted(const std::u16string& folder) {
  return prompt::Fill(prompt::Id::kPackageNotExtracted, {{u"folder", WindowsPath(folder)}});
}

std::u16string PackageFolderNameUnusable(const std::u16string& folder) {
  return prompt::Fill(prompt::Id::kPackageFolderNameUnusable, {{u"folder", WindowsPath(folder)}});
}

std::u16string RestoreFolderNameUnusable(const std::u16string& entry) {
  return prompt::Fill(prompt::Id::kRestoreFolderNameUnusable, {{u"entry", entry}});
}

std::u16string RestoreSourceMissing(const std::u16string& entry, bool gone) {
  return prompt::Fill(gone ? prompt::Id::kRestoreSourceGone : prompt::Id::kRestoreSourceEmpty, {{u"entry", entry}});
}

std::u16string InstalledDatabaseProblem(const std::u16string& what, const std::u16string& path,
                                        const std::u16string& reason) {
  if (reason.empty()) {
    return prompt::Fill(prompt::Id::kInstalledDatabaseMissing, {{u"what", what}, {u"file", WindowsPath(path)}});
  }
  return prompt::Fill(prompt::Id::kInstalledDatabaseUnopened,
                      {{u"what", what}, {u"file", WindowsPath(path)}, {u"reason", reason}});
}

std::u16string NotABackupQuestion(const std::u16string& entry, const std::vector<std::u16string>& files) {
  const std::u16string replaced = files.empty() ? prompt::Fill(prompt::Id::kNoFilesInFolder) : NameList(files);
  return prompt::Fill(prompt::Id::kNotABackupQuestion, {{u"entry", entry}, {u"files", replaced}});
}

std::u16string CustomerDatabaseNotOpened() { return prompt::Fill(prompt::Id::kCustomerDatabaseNotOpened); }

std::u16string RetryAfterFreeingSpace(const std::u16string& space_problem) {
  return prompt::Fill(prompt::Id::kRetryAfterFreeingSpace, {{u"shortage", space_problem}});
}

std::u16string RetryAfterClosing(const std::u16string& path) {
  return prompt::Fill(prompt::Id::kRetryAfterClosing, {{u"file", WindowsPath(path)}});
}

std::u16string RetryWillNotHelp(const std::u16string& engine_reason) {
  return prompt::Fill(prompt::Id::kRetryWillNotHelp, {{u"reason", engine_reason}});
}

std::u16string BusyReason(const std::u16string& run) { return prompt::Fill(prompt::Id::kBusyReason, {{u"run", run}}); }

}  // namespace brevak::guard_text
