#ifndef BREVAK_CORE_MIGRATION_MESSAGE_H_
#define BREVAK_CORE_MIGRATION_MESSAGE_H_

#include <string>

#include "core/table_mover.h"

// The last message of an update: what its migration came to, in the
// prompts' words, built from the outcome and what the run knows besides.
namespace brevak {

struct MigrationMessageParts {
  std::u16string backup;        // the update's backup folder with its date in words
  std::u16string saved;         // the folders saved before finishing, joined (or empty)
  std::u16string given_up;      // a line of its own on an update given up (or empty)
  std::u16string retry_ending;  // how a message with tables not moved ends
};

// When the customer database did not open, none of its tables moved: that
// is said in one line, and the tables are named in the upgrade log only.
std::u16string MigrationMessage(const MigrationOutcome& outcome, const MigrationMessageParts& parts);

}  // namespace brevak

#endif  // BREVAK_CORE_MIGRATION_MESSAGE_H_
