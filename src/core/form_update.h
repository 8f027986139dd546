#ifndef BREVAK_CORE_FORM_UPDATE_H_
#define BREVAK_CORE_FORM_UPDATE_H_

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/mod_copy.h"
#include "platform/platform.h"

namespace brevak {

// The update window: its state, its load and unload steps, and every
// handler and private procedure of the upgrade, the history and the restore.
class FormUpdate : public FormEvents {
 public:
  explicit FormUpdate(Platform& platform) : platform_(platform) {}

  void Form_Load() override;
  void Form_Unload(int16_t& cancel) override;
  void CmdUpdate_Click() override;
  void cmdGetHistory_Click() override;
  void ListDir_Click() override;
  void CmdRestore_Click() override;
  void CmdClose_Click() override;

  // The window's state, living as long as the window.
  const std::u16string& sInstallDir() const { return sInstallDir_; }
  const std::u16string& sBackupDir() const { return sBackupDir_; }
  const std::u16string& sDataFile() const { return sDataFile_; }
  // The connection, or null once released.
  Connection* Conn() const { return Conn_.get(); }

  // True when the package's main program is newer than the installed one,
  // and when the two cannot be compared.
  bool CompVer();
  // The restore button's label for a list entry: its date and time in words.
  static std::u16string SplitDir(const std::u16string& sDir);
  // "0" in front of a one-character text.
  static std::u16string Add0(const std::u16string& txt);

 private:
  WindowSystem& window() { return *platform_.window; }
  // Conn, or run-time error 91 when it holds nothing.
  Connection& conn();

  // Update sequence.
  bool PassVersionGate();
  bool BackUpInstallation(SHFILEOPSTRUCT& request);
  // True (after telling the user) when the VirtualStore holds data files.
  bool DataLeftInVirtualStore();
  void NameBackupFolder();
  void CloseConnIfOpen();
  // Runs one copy request and reports its outcome. Returns true when the
  // caller may go on; `stop_when_aborted` ends it after "Operation Failed".
  bool RunCopyRequest(SHFILEOPSTRUCT& request, bool stop_when_aborted);
  void ReportCopyOutcome(int32_t result, int32_t last_error, const SHFILEOPSTRUCT& request);

  // Data migration.
  void MigrateData();
  void MoveAddressBook(std::vector<std::u16string>& failed);
  std::optional<std::u16string> OpenCustomerDatabase();
  void ReData(const std::u16string& TabName);
  // A moved table and its backup's table as a count statement names it
  // (with the external-database clause).
  struct RowCheck {
    std::u16string table;
    std::u16string backup_table;
  };
  void MoveTable(const std::u16string& delete_statement, const std::u16string& insert_statement,
                 const RowCheck& check);
  // Raises a run-time error when the table's rows differ from its backup's.
  void VerifyRows(const RowCheck& check);
  void ReportMigration(const std::vector<std::u16string>& failed,
                       const std::optional<std::u16string>& customer_open_error);

  // An interrupted update and the safeguards around an update.
  enum class InterruptedUpdate { kNone, kFinish, kStop };
  InterruptedUpdate CheckInterruptedUpdate();
  std::optional<std::u16string> RecordedBackup();
  bool BackupIsWhole(const std::u16string& folder);
  bool DatabasesFree();
  bool NameNewBackupFolder();
  bool RecordUpdateInProgress();
  void ClearUpdateRecord();
  void ClearRecordOfRestoredBackup(const std::u16string& entry);
  std::u16string UpdateRecordPath() const;

  // History.
  void SeachFile(std::u16string strPath);

  // Checks before an update changes anything (form_update_checks.cc). Each
  // returns the problem to tell the user, or the empty text.
  bool PassPreUpdateChecks();
  std::u16string SpaceProblem();
  std::u16string PackageProblem();
  std::u16string ProgramProblem(const std::u16string& path);
  std::u16string DatabaseProblem(const std::u16string& package, const std::u16string& name,
                                 const std::u16string& password);
  // The backup request's source list: the installation's data files.
  std::u16string BackupSourceList() const;
  // Runs the update's backup request; a backup that did not complete
  // leaves no folder behind. False ends the update.
  bool RunBackupRequest(SHFILEOPSTRUCT& request);
  // Backs up the files a restore will replace into a new dated folder.
  // False, after telling the user why, when the restore must not go on.
  bool BackUpBeforeRestore();
  std::u16string NameRestoreBackupFolder();
  // True also when it cannot be told: nothing unknown is ever removed.
  bool FolderExists(const std::u16string& folder);
  // False also when it cannot be told.
  bool FileExists(const std::u16string& path);
  void RemoveFolder(const std::u16string& folder);

  Platform& platform_;
  std::u16string sInstallDir_;
  std::u16string sBackupDir_;
  std::u16string sDataFile_;
  std::unique_ptr<Connection> Conn_;
};

// The table list of the customer database, in the order the migration
// moves it. RepairCase stands twice, at 17 and 25.
extern const std::array<const char16_t*, 29> kCustomerTables;
// The address book's tables.
extern const std::array<const char16_t*, 3> kAddressBookTables;

}  // namespace brevak

#endif  // BREVAK_CORE_FORM_UPDATE_H_
