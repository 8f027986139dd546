#ifndef BREVAK_PLATFORM_POSIX_DURABLE_REPLACE_H_
#define BREVAK_PLATFORM_POSIX_DURABLE_REPLACE_H_

#include <filesystem>
#include <string_view>

// How a file is replaced so that a crash at any moment leaves the old file
// or the new one whole, never a mix: the new contents are written under a
// temporary name beside it and flushed to the disk, the temporary is
// renamed over the file, and the folder is flushed so that the rename is on
// the disk too. ReplaceFile does it all for one file; a caller replacing
// many files at once runs the steps itself, flushing all its temporaries
// with one FlushFileSystem. Every function returns 0 or the errno value of
// the step that failed.
namespace brevak::posix {

// The whole sequence for one file: `bytes` written to `temp`, flushed,
// renamed over `target`, the folder flushed.
int ReplaceFile(const std::filesystem::path& target, const std::filesystem::path& temp, std::string_view bytes);

// Writes `bytes` to `temp` (created, or emptied when it exists), flushes
// it to the disk and closes it.
int WriteFlushed(const std::filesystem::path& temp, std::string_view bytes);

// Everything written to the folder's file system on the disk: one flush
// for all the temporaries of an operation instead of one per file.
int FlushFileSystem(const std::filesystem::path& folder);

// Renames the flushed temporary over `target`; the rename is on the disk
// once the folder is flushed.
int RenameOver(const std::filesystem::path& temp, const std::filesystem::path& target);

// The folder's entries, renames and removals included, on the disk.
int FlushFolder(const std::filesystem::path& folder);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DURABLE_REPLACE_H_
