#include <gtest/gtest.h>

#include "platform/posix/database/sqlcipher_database.h"

// The unit tests open databases of their own before any stand-in is made,
// so the engine is readied first, as the tool's set-up readies it.
int main(int argc, char** argv) {
  brevak::posix::PrepareDatabaseEngine();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
