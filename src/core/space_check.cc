#include "core/space_check.h"

#include <memory>
#include <vector>

#include "core/copy_requests.h"
#include "core/prompts.h"
#include "core/space_estimate.h"
#include "platform/file_pattern.h"

namespace brevak {
namespace {

std::vector<FileSize> ListFiles(FileSystemObject& fso, const std::u16string& folder) {
  std::vector<FileSize> files;
  const std::unique_ptr<FileEnumeration> listing = fso.GetFolder(folder)->Files();
  while (std::unique_ptr<File> file = listing->Next()) files.push_back({file->Name(), file->Size()});
  return files;
}

// The file-name part of each pattern of a copy request's source list.
std::vector<std::u16string> NamePatterns(const std::u16string& source_list) {
  std::vector<std::u16string> names;
  for (const std::u16string& pattern : PatternsOf(source_list)) {
    names.push_back(pattern.substr(pattern.find_last_of(u'\\') + 1));
  }
  return names;
}

}  // namespace

// A drive or folder that cannot be read is not measured: the copies report
// their own failures, and a check must not stop what the copies could do.
std::u16string SpaceCheck::SpaceProblemFor(const std::u16string& install_dir, const std::u16string& incoming_folder,
                                           const std::u16string& incoming_patterns, bool migrates) {
  SpaceEstimate estimate;
  try {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    SpaceInputs inputs;
    inputs.installed = ListFiles(*fso, install_dir);
    inputs.backup_patterns = NamePatterns(CopyRequests::BackupSourceList(install_dir));
    inputs.incoming = ListFiles(*fso, incoming_folder);
    inputs.incoming_patterns = NamePatterns(incoming_patterns);
    inputs.migrates = migrates;
    inputs.available = fso->AvailableSpace(install_dir);
    estimate = EstimateSpace(inputs);
  } catch (const RunTimeError&) {
    return u"";
  }
  if (estimate.fits()) return u"";
  return prompt::SpaceNeeded(estimate.needed, estimate.available);
}

}  // namespace brevak
