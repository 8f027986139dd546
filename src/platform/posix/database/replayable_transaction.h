#ifndef BREVAK_PLATFORM_POSIX_DATABASE_REPLAYABLE_TRANSACTION_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_REPLAYABLE_TRANSACTION_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brevak::posix {

// The transaction BeginTrans opens on a connection's file, which can be set
// aside for work SQLite refuses inside a transaction (an ATTACH) and begun
// again as it stood: it keeps the SQL of every statement that succeeded in
// it, to be run again.
//
// The transaction is a deferred one: BEGIN IMMEDIATE would take a write
// lock on every attached file as well, which the read-only backups refuse.
// Its write lock on the open file is taken by its first delete or append,
// waiting out a brief lock; only when another writer is already half-way
// through a transaction on the same file does the statement fail at once
// (waiting could never end, as that writer waits for this reader).
class ReplayableTransaction {
 public:
  bool active() const { return active_; }
  // The engine ended the transaction on its own after a failure: its
  // changes are gone, and only a rollback (or a commit, which then fails)
  // ends the state.
  bool lost() const { return lost_; }
  // Moves on whenever a statement runs on the file or the transaction
  // begins, is set aside or ends: a figure taken about the file's tables at
  // one mark holds while the mark stays.
  uint64_t mark() const { return mark_; }

  void Begin(sqlite3* db);
  // A commit that could not take its locks leaves the transaction open for
  // another attempt or a rollback; one the engine undid is over.
  void Commit(sqlite3* db);
  void Rollback(sqlite3* db);
  // Undoes whatever is open on `db` without reporting anything (the
  // connection closes, or a path is already failing) and ends the state.
  void Abandon(sqlite3* db);

  // Runs one statement of the caller's on `db`, in the transaction when one
  // is active. A failure the engine answered by undoing the whole
  // transaction loses it.
  void Run(sqlite3* db, const std::string& sql);

  // Runs `work` with the transaction set aside: rolled back, `work` done,
  // then begun again with the statements it had run so far run again in
  // order. The caller has seen nothing of them but their success, and
  // emptying a table or appending a read-only backup's rows means the same
  // when run again, so the transaction ends as if `work` had been done
  // before it began; its atomicity is kept. A failure of `work` is raised
  // after the transaction has been resumed. If the transaction cannot be
  // begun again as it stood, it is lost: its changes are undone and that
  // failure raised. Without an active transaction `work` simply runs.
  void SetAsideFor(sqlite3* db, const std::function<void()>& work);

 private:
  void Resume(sqlite3* db);
  void Lose();
  void End();

  bool active_ = false;
  bool lost_ = false;
  std::vector<std::string> log_;
  uint64_t mark_ = 0;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_REPLAYABLE_TRANSACTION_H_
