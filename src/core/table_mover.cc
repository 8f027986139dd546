#include "core/table_mover.h"

#include <algorithm>

#include "core/jet_database.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

// Jet commits a transaction that passes its per-file lock limit (9500 by
// default) in pieces; the limit is raised so that a large table moves in
// one transaction.
std::u16string MigrationConnectionString(const std::u16string& file, const std::u16string& password) {
  return ConnectionString(file, password) + u";Jet OLEDB:Max Locks Per File=1000000";
}

// A table that holds fewer rows, or more, than its backup after the move.
RunTimeError RowsDiffer(const std::u16string& table, int32_t installed, int32_t backup) {
  return RunTimeError(vb_error::kInternalError, table + u": " + vb::CStr(installed) + u" / " + vb::CStr(backup));
}

bool Holds(const std::vector<std::u16string>& names, const std::u16string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

void AddOnce(std::vector<std::u16string>& names, const std::u16string& name) {
  if (!Holds(names, name)) names.push_back(name);
}

// A table listed twice (RepairCase) holds the backup's rows when either of
// its passes moved them: each pass replaces it whole or leaves it as it was.
void ForgetMoved(std::vector<std::u16string>& failed, const std::vector<std::u16string>& moved) {
  std::erase_if(failed, [&](const std::u16string& name) { return Holds(moved, name); });
}

}  // namespace

void TableMover::Open(Connection& conn, const std::u16string& file, const std::u16string& password) {
  conn.SetProvider(kProvider);
  conn.Open(MigrationConnectionString(file, password));
}

bool TableMover::MoveAddressBookTable(Connection& conn, const std::u16string& table,
                                      const std::u16string& backup_dir) {
  const std::u16string source = u"[;database=" + backup_dir + u"\\" + kAddressBook + u";].";
  return MoveTable(conn, u"delete from [" + table + u"]", u"Insert into [" + table + u"] Select * From " + source + table,
                   {table, source + u"[" + table + u"]"});
}

bool TableMover::MoveCustomerTable(Connection& conn, const std::u16string& table, const std::u16string& backup_dir) {
  const std::u16string source =
      u"[;database=" + backup_dir + u"\\" + kCustomerDatabase + u";pwd=" + kCustomerPassword + u"].";
  return MoveTable(conn, u"delete from " + table, u"Insert into [" + table + u"] Select * From " + source + table,
                   {table, source + u"[" + table + u"]"});
}

// The table is verified before its transaction commits: an engine may
// append fewer rows than it selected without raising an error (rows that
// break a key or a validation rule), and such a table is rolled back and
// named like one that failed. An append whose input table the backup's
// database lacks (an older release without it) is rolled back too: the
// table keeps the package's rows, and nothing was there to move. Why a
// table did not move goes to the observer.
bool TableMover::MoveTable(Connection& conn, const std::u16string& delete_statement,
                           const std::u16string& insert_statement, const RowCheck& check) {
  try {
    conn.BeginTrans();
  } catch (const RunTimeError& e) {
    events_.TableNotMoved(check.table, e.description());
    throw;
  }
  try {
    conn.Execute(delete_statement);
    try {
      conn.Execute(insert_statement);
    } catch (const RunTimeError& e) {
      if (e.number() != kJetInputTableNotFound) throw;
      conn.RollbackTrans();
      events_.TableAbsent(check.table);
      return false;
    }
    const RowCounts rows = VerifyRows(conn, check);
    conn.CommitTrans();
    events_.TableMoved(check.table, rows);
  } catch (const RunTimeError& e) {
    ResumeNext([&] { conn.RollbackTrans(); });
    events_.TableNotMoved(check.table, e.description());
    throw;
  }
  return true;
}

RowCounts TableMover::VerifyRows(Connection& conn, const RowCheck& check) {
  const int32_t installed = conn.ExecuteCount(u"select count(*) from [" + check.table + u"]");
  const int32_t backup = conn.ExecuteCount(u"select count(*) from " + check.backup_table);
  if (installed != backup) throw RowsDiffer(check.table, installed, backup);
  return {installed, backup};
}

void TableMover::Count(MigrationOutcome& outcome, const std::u16string& table,
                       const std::optional<std::u16string>& failure, bool present) {
  if (failure) outcome.reasons.emplace(table, *failure);
  AddOnce(failure ? outcome.failed : present ? outcome.moved : outcome.absent, table);
}

// A table named once as failed and once as moved has moved; its reason
// goes. The first reason is that of the first table still not moved.
void TableMover::Settle(MigrationOutcome& outcome) {
  ForgetMoved(outcome.failed, outcome.moved);
  std::erase_if(outcome.reasons, [&](const auto& reason) { return Holds(outcome.moved, reason.first); });
  for (const std::u16string& table : outcome.failed) {
    if (outcome.first_reason.empty() && outcome.reasons.count(table)) outcome.first_reason = outcome.reasons.at(table);
  }
  ForgetMoved(outcome.absent, outcome.moved);
  ForgetMoved(outcome.absent, outcome.failed);
}

}  // namespace brevak
