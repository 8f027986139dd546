#ifndef BREVAK_CORE_TABLE_MOVER_H_
#define BREVAK_CORE_TABLE_MOVER_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

// The table mover: moves the user's records from a backup's databases into
// the installation's fresh ones, one table at a time. Each table moves in a
// transaction of its own and is verified by counting both sides before it
// commits; what became of each table is collected into the migration's
// outcome and told to an observer as it happens. It composes no text for
// the user: the update's last message and the upgrade log are built from
// what it reports.
namespace brevak {

// A moved table and its backup's table as a count statement names it
// (with the external-database clause).
struct RowCheck {
  std::u16string table;
  std::u16string backup_table;
};

// The rows a moved table holds, and its backup's, counted before the commit.
struct RowCounts {
  int32_t installed = 0;
  int32_t backup = 0;
};

// What the mover tells as each table's move ends.
class MigrationEvents {
 public:
  virtual ~MigrationEvents() = default;
  virtual void TableMoved(const std::u16string& table, const RowCounts& rows) = 0;
  // `reason` is the engine's description of the failure.
  virtual void TableNotMoved(const std::u16string& table, const std::u16string& reason) = 0;
  // A listed table the backup's database does not hold.
  virtual void TableAbsent(const std::u16string& table) = 0;
};

// What the migration came to, table by table.
struct MigrationOutcome {
  std::vector<std::u16string> failed;  // not moved, in list order, once each
  std::vector<std::u16string> absent;  // the backup's database lacks them: nothing to move
  std::vector<std::u16string> moved;   // in list order, once each
  std::optional<std::u16string> customer_open_error;
  std::u16string first_reason;  // the engine's word on the first table not moved
  std::map<std::u16string, std::u16string> reasons;  // the engine's word on each table not moved
  // What a retry needs removed first (the tool's own checks run again on
  // tables not moved); nothing: they found no such cause.
  std::optional<std::u16string> retry_remedy;
};

// Runs one statement of the migration: the engine's description when it
// failed, nothing when it completed.
template <typename Statement>
std::optional<std::u16string> FailureOf(Statement&& statement) {
  try {
    statement();
    return std::nullopt;
  } catch (const RunTimeError& e) {
    return e.description();
  }
}

class TableMover {
 public:
  explicit TableMover(MigrationEvents& events) : events_(events) {}

  // Opens `file` on `conn` for the migration, with its database password
  // (empty for none). Raises when it does not open.
  void Open(Connection& conn, const std::u16string& file, const std::u16string& password);
  // Moves one address-book table from `backup_dir`'s address book. Raises
  // when it did not move; false when the backup's database lacks it.
  bool MoveAddressBookTable(Connection& conn, const std::u16string& table, const std::u16string& backup_dir);
  // The same for a table of the customer database.
  bool MoveCustomerTable(Connection& conn, const std::u16string& table, const std::u16string& backup_dir);
  // Empties the table and fills it from its backup's; false (the table as
  // it was) when the backup's database lacks the table.
  bool MoveTable(Connection& conn, const std::u16string& delete_statement, const std::u16string& insert_statement,
                 const RowCheck& check);
  // Raises a run-time error when the table's rows differ from its backup's.
  static RowCounts VerifyRows(Connection& conn, const RowCheck& check);

  // Counts `table` in `outcome` after its pass by `move` (one of the moves
  // above, which raises when the table did not move). Never raises.
  template <typename Move>
  static void Count(MigrationOutcome& outcome, const std::u16string& table, Move&& move) {
    bool present = true;
    const std::optional<std::u16string> failure = FailureOf([&] { present = move(); });
    Count(outcome, table, failure, present);
  }
  // Settles the outcome once every table has had its pass.
  static void Settle(MigrationOutcome& outcome);

 private:
  static void Count(MigrationOutcome& outcome, const std::u16string& table,
                    const std::optional<std::u16string>& failure, bool present);

  MigrationEvents& events_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_TABLE_MOVER_H_
