#ifndef BREVAK_CORE_LOG_AT_END_H_
#define BREVAK_CORE_LOG_AT_END_H_

#include <string>

#include "core/upgrade_log_observer.h"

// The upgrade log's hold on a handler: made as the handler starts, it
// writes the handler's entry when the handler ends, by return or by a
// run-time error.
namespace brevak {

// Writes the handler's entry, when it began one, however the handler
// ends: after the data work, and never with an error of its own.
class LogAtEnd {
 public:
  LogAtEnd(UpgradeLogObserver& log, std::u16string install_dir, std::u16string record_path);
  ~LogAtEnd();
  LogAtEnd(const LogAtEnd&) = delete;
  LogAtEnd& operator=(const LogAtEnd&) = delete;

 private:
  UpgradeLogObserver& log_;
  std::u16string install_dir_;
  std::u16string record_path_;
  int uncaught_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_LOG_AT_END_H_
