#ifndef BREVAK_TESTS_CAMPAIGN_DB_HOLDER_H_
#define BREVAK_TESTS_CAMPAIGN_DB_HOLDER_H_

// Another program that has one of the installation's databases open: the
// sqlite3 shell (the address book) or the sqlcipher shell (the customer
// database), as the shop's owner or a second Brevak would hold it.

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace brevak::campaign {

enum class HoldMode {
  kOpen,   // open and idle
  kRead,   // inside a read transaction
  kWrite,  // inside a write transaction (BEGIN IMMEDIATE)
};
const char* HoldModeName(HoldMode mode);

class DbHolder {
 public:
  // Starts the shell on `file`; it opens the file and enters the mode's
  // transaction at once.
  // Its standard error goes to `errors`.
  DbHolder(const std::filesystem::path& file, bool keyed, HoldMode mode, const std::filesystem::path& errors);
  ~DbHolder();
  DbHolder(const DbHolder&) = delete;
  DbHolder& operator=(const DbHolder&) = delete;

  // Waits until the shell holds the file; false when it failed or took
  // longer than `seconds`.
  bool WaitHeld(double seconds);
  // Runs `insert` in the shell and commits it (the user's work in that
  // program); true when the shell reports it committed.
  bool CommitInsert(const std::string& insert);
  // Ends the shell; an open transaction rolls back.
  void Release();
  // The shell's last error message (its standard error's last line).
  std::string LastError() const;

 private:
  bool WaitFor(const std::string& word, double seconds);
  void Send(const std::string& text);

  HoldMode mode_;
  std::filesystem::path errors_;
  pid_t pid_ = -1;
  int in_fd_ = -1;
  int out_fd_ = -1;
  std::string output_;
};

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_DB_HOLDER_H_
