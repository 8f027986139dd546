#include "core/log_at_end.h"

#include <exception>
#include <utility>

namespace brevak {

LogAtEnd::LogAtEnd(UpgradeLogObserver& log, std::u16string install_dir, std::u16string record_path)
    : log_(log),
      install_dir_(std::move(install_dir)),
      record_path_(std::move(record_path)),
      uncaught_(std::uncaught_exceptions()) {
  log_.Forget();
}

LogAtEnd::~LogAtEnd() {
  try {
    log_.Write(install_dir_, record_path_, std::uncaught_exceptions() > uncaught_);
  } catch (...) {
    // The log is the last thing a handler does; its failure changes nothing.
  }
}

}  // namespace brevak
