#ifndef BREVAK_TESTS_CAMPAIGN_RECORD_MUTATION_H_
#define BREVAK_TESTS_CAMPAIGN_RECORD_MUTATION_H_

// The in-progress record as damage and meddling leave it: a bit flipped, the
// file cut short, a line doubled, dropped or moved, or a folder it names
// pointed out of the installation. The record is taken as bytes and lines
// (KEY=VALUE, CR LF), whatever keys its format has.

#include <random>
#include <string>

namespace brevak::campaign {

enum class RecordMutation {
  kFlipBit,
  kTruncate,
  kDuplicateLine,
  kDropLine,
  kSwapLines,
  kOutsideFolder,  // a value naming a folder replaced by a folder out of the installation
  kDotDot,         // a value naming a folder led out of the installation with ".."
};
inline constexpr int kRecordMutations = 7;

const char* MutationName(RecordMutation mutation);

// Whether a line's value names a folder: a path, or a fourteen-digit name.
bool NamesFolderValue(const std::string& line);

// `text` mutated at a place `rng` draws. `outside` is a Windows path out of
// the installation (C:\Brevak升级包); `..` leads to its last component from
// the installation's folder. The text unchanged when it has nothing to mutate.
std::string MutateRecord(const std::string& text, RecordMutation mutation, std::mt19937_64& rng,
                         const std::string& outside);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_RECORD_MUTATION_H_
