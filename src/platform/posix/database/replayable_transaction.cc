#include "platform/posix/database/replayable_transaction.h"

#include <optional>

#include "platform/posix/database/sqlcipher_statement.h"
#include "platform/runtime_error.h"

namespace brevak::posix {

void ReplayableTransaction::Begin(sqlite3* db) {
  ++mark_;
  RunSql(db, "BEGIN");
  active_ = true;
}

void ReplayableTransaction::Commit(sqlite3* db) {
  try {
    RunSql(db, "COMMIT");
  } catch (const RunTimeError&) {
    if (sqlite3_get_autocommit(db)) End();
    throw;
  }
  End();
}

void ReplayableTransaction::Rollback(sqlite3* db) {
  if (!sqlite3_get_autocommit(db)) RunSql(db, "ROLLBACK");
  End();
}

void ReplayableTransaction::Abandon(sqlite3* db) {
  if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  End();
}

void ReplayableTransaction::Run(sqlite3* db, const std::string& sql) {
  ++mark_;
  try {
    RunSql(db, sql);
  } catch (const RunTimeError&) {
    if (active_ && sqlite3_get_autocommit(db)) Lose();
    throw;
  }
  if (active_) log_.push_back(sql);
}

void ReplayableTransaction::SetAsideFor(sqlite3* db, const std::function<void()>& work) {
  if (!active_) {
    work();
    return;
  }
  ++mark_;
  RunSql(db, "ROLLBACK");
  std::optional<RunTimeError> failure;
  try {
    work();
  } catch (const RunTimeError& error) {
    failure = error;
  }
  Resume(db);
  if (failure) throw *failure;
}

void ReplayableTransaction::Resume(sqlite3* db) {
  try {
    RunSql(db, "BEGIN");
    for (const std::string& sql : log_) RunSql(db, sql);
  } catch (const RunTimeError&) {
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    Lose();
    throw;
  }
}

void ReplayableTransaction::Lose() {
  lost_ = true;
  log_.clear();
}

void ReplayableTransaction::End() {
  ++mark_;
  active_ = false;
  lost_ = false;
  log_.clear();
}

}  // namespace brevak::posix
