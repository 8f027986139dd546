#ifndef BREVAK_TESTS_CAMPAIGN_MESSAGES_H_
#define BREVAK_TESTS_CAMPAIGN_MESSAGES_H_

// What a run of the tool told its user, read from the scripted window
// system's transcript, and the folders those words name.

#include <filesystem>
#include <string>
#include <vector>

namespace brevak::campaign {

struct Message {
  std::string buttons;  // OK, YesNo, YesNoCancel; "error" for the run-time error box
  std::string text;     // unescaped
  std::string answer;   // yes, no, ok, cancel; empty when none was given
};

// A transcript text with \r, \n and \\ taken back to the characters.
std::string UnescapeText(const std::string& escaped);

// The Windows path of `folder` below the prefix's drive C: C:\Brevak\20261209101500.
std::string WindowsPath(const std::filesystem::path& prefix, const std::filesystem::path& folder);

// Whether `text` names the folder `windows_path`: the path appears (ASCII
// letters compared without case, '/' taken for '\' and doubled separators
// for one, as Windows does) and does not run on into a longer name.
bool NamesFolder(const std::string& text, const std::string& windows_path);

// The date a backup folder's fourteen-digit name stands for, in the words
// the restore button's label uses: 20261209101500 -> 2026年12月09日10时15分00秒.
// Empty for any other name.
std::string BackupDate(const std::string& folder_name);

// The folders below the prefix's drive C (three levels deep) that hold a
// shop database, and among them those that a message of `messages` names:
// by their path, or a backup folder by its date in the label's words, as
// the history lists it.
std::vector<std::filesystem::path> DatabaseFolders(const std::filesystem::path& prefix);
std::vector<std::filesystem::path> NamedFolders(const std::filesystem::path& prefix,
                                                const std::vector<Message>& messages);

// The message as one short line: its text cut at `width` characters, line
// breaks as " / ", and the answer.
std::string Abbreviate(const Message& message, size_t width = 64);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_MESSAGES_H_
