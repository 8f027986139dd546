#include "core/form_update.h"

#include "core/jet_database.h"
#include "core/install_dir.h"
#include "core/module_reg_api.h"
#include "core/vb_text.h"

namespace brevak {

const std::array<const char16_t*, 29> kCustomerTables = {
    u"main",          u"Call_Manager",      u"Car_Club",          u"car_name",
    u"CarOwner",      u"Cash_In",           u"Cash_Out",          u"InCall",
    u"Ins_Name",      u"Ins_Policy",        u"Ins_Return",        u"InsCulHistory",
    u"LogSave",       u"Repair_Customer",   u"Repair_Sheet",      u"Repair_Sheet_Part",
    u"Repair_Sheet_Work", u"RepairCase",    u"SalesMoney",        u"SalesOff",
    u"ScheduleSave",  u"SmsReg",            u"SmsSave",           u"SmsSend",
    u"UserTab",       u"RepairCase",        u"WillCustomer",      u"Huifang_kind",
    u"Huifang_main"};

const std::array<const char16_t*, 3> kAddressBookTables = {u"GroupList", u"People", u"Pic"};

void FormUpdate::Form_Load() {
  window().SetLeft(Control::Text1, -10000);
  sInstallDir_ = ListRegValues(platform_).value_or(u"");
  sInstallDir_ = InstallDirFromListing(sInstallDir_);
  Conn_ = platform_.database->CreateConnection(u"Adodb.Connection");
  Conn_->SetProvider(kProvider);
  const std::u16string address_book = ConnectionString(sInstallDir_ + kAddressBook, u"");
  // A run killed while it copied over the address book leaves the file
  // damaged and its record beside it: the window must still open, so that
  // the next click can finish or undo that run. The handlers open what
  // they read themselves.
  bool recorded = true;  // a record that cannot be read may be one
  ResumeNext([&] { recorded = platform_.durable_files->ReadText(UpdateRecordPath(sInstallDir_)).has_value(); });
  if (recorded) {
    ResumeNext([&] { Conn_->Open(address_book); });
    return;
  }
  Conn_->Open(address_book);
}

// The connection is closed only when it is open: after a failed reopening
// there is nothing to close, and closing must not end in an error.
void FormUpdate::Form_Unload(int16_t& /*cancel*/) {
  CloseConnIfOpen();
  Conn_.reset();
}

void FormUpdate::CmdClose_Click() { window().Unload(); }

Connection& FormUpdate::conn() {
  if (!Conn_) throw vb_error::Raise(vb_error::kObjectNotSet);
  return *Conn_;
}

void FormUpdate::CloseConnIfOpen() {
  if (Conn_ && Conn_->State() == adStateOpen) Conn_->Close();
}

std::u16string FormUpdate::Add0(const std::u16string& txt) {
  return vb::Len(txt) == 1 ? u"0" + txt : txt;
}

}  // namespace brevak
