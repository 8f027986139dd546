// wine-ado-server.dll: a test-only in-process COM server, registered in a
// Wine prefix as ADODB.Connection, so that the Windows build under Wine
// (which has no Jet provider) makes its database calls as it would on
// Windows: late-bound through IDispatch. Each call goes over 127.0.0.1 to
// wine-ado-helper (ado_wire.h), whose port is in BREVAK_WINE_ADO_PORT; a
// failure comes back as the EXCEPINFO the real provider gives: DISP_E_EXCEPTION
// with the error's HRESULT and description. It never ships.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdlib>
#include <string>

#include "wine_ado/ado_wire.h"

namespace brevak::wine_ado {
namespace {

// {C57ECCEB-DDFD-4EDB-8A76-0B3F696B58D9}
constexpr CLSID kClsid = {0xc57ecceb, 0xddfd, 0x4edb, {0x8a, 0x76, 0x0b, 0x3f, 0x69, 0x6b, 0x58, 0xd9}};
constexpr wchar_t kClsidText[] = L"{C57ECCEB-DDFD-4EDB-8A76-0B3F696B58D9}";
constexpr wchar_t kProgId[] = L"ADODB.Connection";
constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kCallTimeoutMs = 300000;  // a whole table's insert, at most
constexpr int32_t kGeneralFailure = -2147467259;  // 0x80004005
constexpr int32_t kItemNotFound = 3265;

HMODULE module_handle = nullptr;
LONG live_objects = 0;

std::string Utf8(const std::wstring& text) {
  std::string result(text.size() * 3, '\0');
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       result.data(), static_cast<int>(result.size()), nullptr, nullptr);
  result.resize(size > 0 ? size : 0);
  return result;
}

std::wstring Wide(const std::string& text) {
  std::wstring result(text.size(), L'\0');
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       result.data(), static_cast<int>(result.size()));
  result.resize(size > 0 ? size : 0);
  return result;
}

// The run-time error `number` as the provider raises it: ADO's own errors
// (3704, ...) in the control facility, the engine's as their HRESULT.
HRESULT Raise(EXCEPINFO* exception, int32_t number, const std::wstring& description) {
  const HRESULT scode = number > 0 && number <= 0xFFFF ? MAKE_HRESULT(1, FACILITY_CONTROL, number)
                                                       : static_cast<HRESULT>(number);
  if (exception == nullptr) return scode;
  *exception = EXCEPINFO{};
  exception->scode = scode;
  exception->bstrSource = SysAllocString(number > 0 ? L"ADODB.Connection" : L"Microsoft JET Database Engine");
  exception->bstrDescription = SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
  return DISP_E_EXCEPTION;
}

// The TCP connection to the helper.
class Wire {
 public:
  ~Wire() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    if (started_) WSACleanup();
  }
  // Connects to the helper's port, waiting at most kConnectTimeoutMs.
  bool Connect();
  // One call; false when the helper does not answer.
  bool Call(const char* member, const std::wstring& argument, int32_t* number,
            std::wstring* description, std::string* value);

 private:
  bool ReadExactly(char* buffer, size_t bytes);

  SOCKET socket_ = INVALID_SOCKET;
  bool started_ = false;
};

bool Wire::Connect() {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  char port[16];
  const DWORD length = GetEnvironmentVariableA("BREVAK_WINE_ADO_PORT", port, sizeof port);
  if (!started_ || length == 0 || length >= sizeof port) return false;
  socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket_ == INVALID_SOCKET) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  u_long non_blocking = 1;
  ioctlsocket(socket_, FIONBIO, &non_blocking);
  connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_SET(socket_, &writable);
  FD_ZERO(&failed);
  FD_SET(socket_, &failed);
  timeval timeout{static_cast<long>(kConnectTimeoutMs / 1000), 0};
  if (select(0, nullptr, &writable, &failed, &timeout) != 1 || !FD_ISSET(socket_, &writable)) return false;
  non_blocking = 0;
  ioctlsocket(socket_, FIONBIO, &non_blocking);
  const DWORD call_timeout = kCallTimeoutMs;
  setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&call_timeout), sizeof call_timeout);
  return true;
}

bool Wire::ReadExactly(char* buffer, size_t bytes) {
  while (bytes > 0) {
    const int got = recv(socket_, buffer, static_cast<int>(bytes), 0);
    if (got <= 0) return false;
    buffer += got;
    bytes -= static_cast<size_t>(got);
  }
  return true;
}

bool Wire::Call(const char* member, const std::wstring& argument, int32_t* number,
                std::wstring* description, std::string* value) {
  std::string request;
  AppendFrame(request, member);
  AppendFrame(request, Utf8(argument));
  if (send(socket_, request.data(), static_cast<int>(request.size()), 0) != static_cast<int>(request.size())) {
    return false;
  }
  const auto read = [this](char* buffer, size_t bytes) { return ReadExactly(buffer, bytes); };
  std::string number_text, description_text;
  if (!ReadFrame(read, &number_text) || !ReadFrame(read, &description_text) || !ReadFrame(read, value)) {
    return false;
  }
  *number = std::atoi(number_text.c_str());
  *description = Wide(description_text);
  return true;
}

// IUnknown and the IDispatch plumbing; a member table by name, without
// regard to case, as the run-time looks members up.
class DispatchObject : public IDispatch {
 public:
  struct Member {
    const wchar_t* name;
    DISPID id;
  };
  DispatchObject(const Member* members, size_t count) : members_(members), count_(count) {
    InterlockedIncrement(&live_objects);
  }
  virtual ~DispatchObject() { InterlockedDecrement(&live_objects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid != IID_IUnknown && riid != IID_IDispatch) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  // The first name is the member's; any others would name its arguments,
  // which no member here has.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (size_t m = 0; count > 0 && m < count_; ++m) {
      if (lstrcmpiW(names[0], members_[m].name) == 0) ids[0] = members_[m].id;
    }
    return count == 1 && ids[0] != DISPID_UNKNOWN ? S_OK : DISP_E_UNKNOWNNAME;
  }

 protected:
  // The argument at `index` in written order, as text; false when missing.
  static bool TextArgument(DISPPARAMS* parameters, UINT index, std::wstring* text);

 private:
  LONG references_ = 1;
  const Member* members_;
  size_t count_;
};

bool DispatchObject::TextArgument(DISPPARAMS* parameters, UINT index, std::wstring* text) {
  if (parameters == nullptr || index >= parameters->cArgs) return false;
  VARIANT as_text;
  VariantInit(&as_text);
  VARIANT& argument = parameters->rgvarg[parameters->cArgs - 1 - index];
  if (FAILED(VariantChangeType(&as_text, &argument, 0, VT_BSTR))) return false;
  text->assign(as_text.bstrVal, SysStringLen(as_text.bstrVal));
  VariantClear(&as_text);
  return true;
}

// The recordset a select gives, its Fields and its one Field: one value,
// the first field of the first row.
class RecordsetObject : public DispatchObject {
 public:
  enum class Kind { kRecordset, kFields, kField };
  enum : DISPID { kFieldsId = 1, kItemId, kValueId, kCloseId };
  RecordsetObject(Kind kind, int32_t value) : DispatchObject(kMembers, 4), kind_(kind), value_(value) {}

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override;

 private:
  static constexpr Member kMembers[] = {
      {L"Fields", kFieldsId}, {L"Item", kItemId}, {L"Value", kValueId}, {L"Close", kCloseId}};

  HRESULT Return(VARIANT* result, Kind kind) {
    if (result != nullptr) {
      result->vt = VT_DISPATCH;
      result->pdispVal = new RecordsetObject(kind, value_);
    }
    return S_OK;
  }

  Kind kind_;
  int32_t value_;
};

HRESULT RecordsetObject::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                EXCEPINFO* exception, UINT*) {
  if (id == DISPID_VALUE) id = kind_ == Kind::kFields ? DISPID{kItemId} : DISPID{kValueId};
  if (result != nullptr) VariantInit(result);
  if (kind_ == Kind::kRecordset && id == kFieldsId) return Return(result, Kind::kFields);
  if (kind_ == Kind::kRecordset && id == kCloseId) return S_OK;
  if (kind_ == Kind::kFields && id == kItemId) {
    std::wstring index;
    if (!TextArgument(parameters, 0, &index)) return DISP_E_PARAMNOTOPTIONAL;
    if (index != L"0") {
      return Raise(exception, kItemNotFound,
                   L"Item cannot be found in the collection corresponding to the requested name or ordinal.");
    }
    return Return(result, Kind::kField);
  }
  if (kind_ == Kind::kField && id == kValueId) {
    if (result != nullptr) {
      result->vt = VT_I4;
      result->lVal = value_;
    }
    return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

// ADODB.Connection: every member is one call of the helper.
class ConnectionObject : public DispatchObject {
 public:
  ConnectionObject() : DispatchObject(kMembers, 8) {}
  bool Connect() { return wire_.Connect(); }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override;

 private:
  static constexpr Member kMembers[] = {{L"Provider", 1},   {L"Open", 2},          {L"Execute", 3},
                                        {L"BeginTrans", 4}, {L"CommitTrans", 5},   {L"RollbackTrans", 6},
                                        {L"Close", 7},      {L"State", 8}};

  HRESULT Forward(const char* member, const std::wstring& argument, std::string* value, EXCEPINFO* exception);

  Wire wire_;
};

HRESULT ConnectionObject::Forward(const char* member, const std::wstring& argument, std::string* value,
                                  EXCEPINFO* exception) {
  int32_t number = 0;
  std::wstring description;
  if (!wire_.Call(member, argument, &number, &description, value)) {
    return Raise(exception, kGeneralFailure, L"wine-ado-helper does not answer");
  }
  return number == 0 ? S_OK : Raise(exception, number, description);
}

HRESULT ConnectionObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                 EXCEPINFO* exception, UINT*) {
  static const char* const kForwarded[] = {nullptr,       nullptr,         "Open",  "Execute", "BeginTrans",
                                           "CommitTrans", "RollbackTrans", "Close", "State"};
  if (result != nullptr) VariantInit(result);
  std::wstring argument;
  std::string value;
  if (id == 1) {  // Provider
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    if (put && !TextArgument(parameters, 0, &argument)) return DISP_E_PARAMNOTOPTIONAL;
    const HRESULT hr = Forward(put ? "Provider.put" : "Provider.get", argument, &value, exception);
    if (SUCCEEDED(hr) && !put && result != nullptr) {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(Wide(value).c_str());
    }
    return hr;
  }
  if (id < 2 || id > 8) return DISP_E_MEMBERNOTFOUND;
  if ((id == 2 || id == 3) && !TextArgument(parameters, 0, &argument)) return DISP_E_PARAMNOTOPTIONAL;
  const HRESULT hr = Forward(kForwarded[id], argument, &value, exception);
  if (FAILED(hr) || result == nullptr) return hr;
  if (id == 8) {
    result->vt = VT_I4;
    result->lVal = std::atoi(value.c_str());
  } else if (id == 3 && IsSelectStatement(Utf8(argument))) {
    result->vt = VT_DISPATCH;
    result->pdispVal = new RecordsetObject(RecordsetObject::Kind::kRecordset, std::atoi(value.c_str()));
  }
  return hr;
}

class ClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // a static object
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // The object exists only with its helper: without one it cannot be
  // made, as a provider that is not installed.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* connection = new ConnectionObject;
    const HRESULT hr = connection->Connect() ? connection->QueryInterface(riid, object) : E_FAIL;
    connection->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? InterlockedIncrement(&live_objects) : InterlockedDecrement(&live_objects);
    return S_OK;
  }
};

ClassFactory factory;

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

}  // namespace
}  // namespace brevak::wine_ado

using namespace brevak::wine_ado;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) module_handle = instance;
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (clsid != kClsid) {
    *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return factory.QueryInterface(riid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return live_objects == 0 ? S_OK : S_FALSE; }

// The class under its own CLSID, and the ProgID ADODB.Connection (keys do
// not regard case: Adodb.Connection is the same) pointing at it.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  if (GetModuleFileNameW(module_handle, path, MAX_PATH) == 0) return SELFREG_E_CLASS;
  const std::wstring clsid_key = std::wstring(L"CLSID\\") + kClsidText;
  const bool ok = SetValue(clsid_key, nullptr, L"Brevak test harness: ADODB.Connection") &&
                  SetValue(clsid_key + L"\\InprocServer32", nullptr, path) &&
                  SetValue(clsid_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                  SetValue(clsid_key + L"\\ProgID", nullptr, kProgId) &&
                  SetValue(std::wstring(kProgId) + L"\\CLSID", nullptr, kClsidText);
  return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  const std::wstring clsid_key = std::wstring(L"CLSID\\") + kClsidText;
  for (const std::wstring& key : {clsid_key + L"\\InprocServer32", clsid_key + L"\\ProgID", clsid_key,
                                  std::wstring(kProgId) + L"\\CLSID"}) {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
  }
  return S_OK;
}
