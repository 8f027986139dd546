#include "core/migration_message.h"

#include <algorithm>

#include "core/form_update.h"
#include "core/guard_texts.h"
#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {

std::u16string MigrationMessage(const MigrationOutcome& outcome, const MigrationMessageParts& parts) {
  std::u16string message = u"升级完成";
  if (!outcome.failed.empty()) {
    std::vector<std::u16string> named = outcome.failed;
    if (outcome.customer_open_error) {
      std::erase_if(named, [](const std::u16string& table) {
        return std::find(kCustomerTables.begin(), kCustomerTables.end(), table) != kCustomerTables.end();
      });
    }
    message = outcome.customer_open_error ? guard_text::CustomerDatabaseNotOpened() : u"";
    if (!named.empty()) {
      message += (message.empty() ? u"" : vb::vbCrLf) + prompt::TablesNotMoved(named);
    }
    message += vb::vbCrLf + prompt::BackupStillHolds(parts.backup);
  }
  // Tables the old database never had are the upgrade log's to name.
  if (!parts.saved.empty()) message += vb::vbCrLf + prompt::SavedBeforeFinishAfterMigration(parts.saved);
  message += parts.given_up;
  if (!outcome.failed.empty()) message += vb::vbCrLf + parts.retry_ending;
  return message;
}

}  // namespace brevak
