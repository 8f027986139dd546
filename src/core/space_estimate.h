#ifndef BREVAK_CORE_SPACE_ESTIMATE_H_
#define BREVAK_CORE_SPACE_ESTIMATE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace brevak {

// A file of a folder and its size in bytes.
struct FileSize {
  std::u16string name;
  int64_t size = 0;
};

// What a handler's peak on the installation's drive depends on.
struct SpaceInputs {
  std::vector<FileSize> installed;               // the installation folder's files
  std::vector<std::u16string> backup_patterns;   // file-name patterns the backup takes
  std::vector<FileSize> incoming;                // the files of the folder copied in
  std::vector<std::u16string> incoming_patterns; // file-name patterns the copy takes
  bool migrates = false;                         // the databases are refilled afterwards
  int64_t available = 0;                         // free bytes on the drive
};

// The decision and its numbers, in bytes.
struct SpaceEstimate {
  int64_t needed = 0;  // the peak with its margin
  int64_t available = 0;
  bool fits() const { return available >= needed; }
};

// The drive must hold the backup of the installation's data files and what
// the incoming files need beyond the files they replace, with a margin.
SpaceEstimate EstimateSpace(const SpaceInputs& inputs);

}  // namespace brevak

#endif  // BREVAK_CORE_SPACE_ESTIMATE_H_
