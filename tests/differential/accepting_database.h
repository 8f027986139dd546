#ifndef BREVAK_TESTS_DIFFERENTIAL_ACCEPTING_DATABASE_H_
#define BREVAK_TESTS_DIFFERENTIAL_ACCEPTING_DATABASE_H_

// Connections that accept every member and keep only their state: the
// database engine's place where the machine has none (Wine has no Jet
// provider), so the window and its other handlers can be reached.
#include <memory>

#include "platform/database.h"

namespace brevak {

class AcceptingConnection : public Connection {
 public:
  void SetProvider(const std::u16string&) override {}
  void Open(const std::u16string&) override { state_ = adStateOpen; }
  void Execute(const std::u16string&) override {}
  int32_t ExecuteCount(const std::u16string&) override { return 0; }
  void Close() override { state_ = adStateClosed; }
  int32_t State() override { return state_; }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void RollbackTrans() override {}

 private:
  int32_t state_ = adStateClosed;
};

class AcceptingDatabase : public Database {
 public:
  std::unique_ptr<Connection> CreateConnection(const std::u16string&) override {
    return std::make_unique<AcceptingConnection>();
  }
};

}  // namespace brevak

#endif  // BREVAK_TESTS_DIFFERENTIAL_ACCEPTING_DATABASE_H_
