#include "platform/win32/ado_database.h"

#include "platform/win32/dispatch.h"

namespace brevak::win32 {
namespace {

// Adodb.Connection, used through its member names.
class AdoConnection : public Connection {
 public:
  explicit AdoConnection(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  void SetProvider(const std::u16string& provider) override { object_.Put(L"Provider", provider); }
  void Open(const std::u16string& connection_string) override {
    object_.Call(L"Open", {connection_string});
  }
  void Execute(const std::u16string& statement) override { object_.Call(L"Execute", {statement}); }
  void Close() override { object_.Call(L"Close"); }
  int32_t State() override;
  void BeginTrans() override { object_.Call(L"BeginTrans"); }
  void CommitTrans() override { object_.Call(L"CommitTrans"); }
  void RollbackTrans() override { object_.Call(L"RollbackTrans"); }

 private:
  Dispatch object_;
};

// State as a long, as the run-time would coerce it.
int32_t AdoConnection::State() {
  Variant state = object_.Get(L"State");
  Variant as_long;
  if (FAILED(VariantChangeType(as_long.get(), state.get(), 0, VT_I4))) {
    throw vb_error::Raise(vb_error::kTypeMismatch);
  }
  return (*as_long).lVal;
}

}  // namespace

AdoDatabase::AdoDatabase() : apartment_(std::make_unique<ComApartment>()) {}

AdoDatabase::~AdoDatabase() = default;

std::unique_ptr<Connection> AdoDatabase::CreateConnection(const std::u16string& prog_id) {
  return std::make_unique<AdoConnection>(CreateObject(prog_id));
}

}  // namespace brevak::win32
