#include "platform/win32/ado_database.h"

#include <cstdint>
#include <vector>

#include "platform/win32/ado_pooling.h"
#include "platform/win32/dispatch.h"

namespace brevak::win32 {
namespace {

// Adodb.Connection, used through its member names.
class AdoConnection : public Connection {
 public:
  explicit AdoConnection(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  void SetProvider(const std::u16string& provider) override { object_.Put(L"Provider", provider); }
  // Without pooling: once closed, the file is closed (ado_pooling.h).
  void Open(const std::u16string& connection_string) override {
    object_.Call(L"Open", {WithoutResourcePooling(connection_string)});
  }
  void Execute(const std::u16string& statement) override { object_.Call(L"Execute", {statement}); }
  int32_t ExecuteCount(const std::u16string& statement) override;
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

// Set rs = Conn.Execute(statement): n = rs.Fields.Item(0).Value: rs.Close.
// The recordset is closed whether or not its field could be read.
int32_t AdoConnection::ExecuteCount(const std::u16string& statement) {
  Dispatch recordset(DispatchOf(object_.Call(L"Execute", {statement})));
  int64_t count = 0;
  try {
    Dispatch fields(DispatchOf(recordset.Get(L"Fields")));
    std::vector<Variant> index;
    index.push_back(Variant::Long(0));
    Dispatch field(DispatchOf(fields.CallWith(L"Item", index, DISPATCH_METHOD | DISPATCH_PROPERTYGET)));
    count = WholeNumberOf(field.Get(L"Value"));
  } catch (const RunTimeError&) {
    try {
      recordset.Call(L"Close");
    } catch (const RunTimeError&) {
      // The field's failure is the one to report.
    }
    throw;
  }
  recordset.Call(L"Close");
  if (count < INT32_MIN || count > INT32_MAX) throw vb_error::Raise(vb_error::kOverflow);
  return static_cast<int32_t>(count);
}

}  // namespace

AdoDatabase::AdoDatabase() : apartment_(std::make_unique<ComApartment>()) {}

AdoDatabase::~AdoDatabase() = default;

std::unique_ptr<Connection> AdoDatabase::CreateConnection(const std::u16string& prog_id) {
  return std::make_unique<AdoConnection>(CreateObject(prog_id));
}

}  // namespace brevak::win32
