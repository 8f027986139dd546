#include "platform/win32/dispatch.h"

#include <vector>

#include "platform/win32/wide.h"

namespace brevak::win32 {
namespace {

constexpr int32_t kObjectRequired = 424;

std::u16string TakeBstr(BSTR& text) {
  std::u16string result = text != nullptr ? FromWide(text, SysStringLen(text)) : u"";
  SysFreeString(text);
  text = nullptr;
  return result;
}

// The system's text for an HRESULT, without the line break it ends in.
std::u16string SystemText(HRESULT hr) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string result = length != 0 ? FromWide(text, length) : u"自动化错误";
  LocalFree(text);
  while (!result.empty() && (result.back() == u'\n' || result.back() == u'\r')) result.pop_back();
  return result;
}

// True when `object` says that its failed calls through `iid` leave an
// error object (ISupportErrorInfo). Only then is the thread's error object
// this call's; otherwise it is an earlier call's, possibly another object's.
bool SupportsErrorInfo(IUnknown* object, REFIID iid) {
  if (object == nullptr) return false;
  ComPtr<ISupportErrorInfo> support;
  return SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo,
                                          reinterpret_cast<void**>(support.put()))) &&
         support->InterfaceSupportsErrorInfo(iid) == S_OK;
}

// The description the failed call left with SetErrorInfo, if it left one.
// The thread's error object is taken in any case, so a stale one never
// describes a later failure.
std::u16string ErrorInfoText(IUnknown* object, REFIID iid) {
  ComPtr<IErrorInfo> info;
  BSTR description = nullptr;
  if (GetErrorInfo(0, info.put()) == S_OK && info && SupportsErrorInfo(object, iid) &&
      SUCCEEDED(info->GetDescription(&description)) && description != nullptr) {
    return TakeBstr(description);
  }
  SysFreeString(description);
  return {};
}

// The HRESULTs that the run-time numbers as its own errors (with its texts).
struct RenumberedError {
  HRESULT hr;
  int32_t number;
};
constexpr RenumberedError kRenumbered[] = {
    {E_INVALIDARG, vb_error::kInvalidProcedureCall},
    {E_OUTOFMEMORY, vb_error::kOutOfMemory},
    {DISP_E_TYPEMISMATCH, vb_error::kTypeMismatch},
    {DISP_E_PARAMNOTOPTIONAL, vb_error::kArgumentNotOptional},
    {DISP_E_BADPARAMCOUNT, vb_error::kWrongArgumentCount},
};

const RenumberedError* RenumberedOf(HRESULT hr) {
  for (const RenumberedError& error : kRenumbered) {
    if (error.hr == hr) return &error;
  }
  return nullptr;
}

// The run-time's number for an HRESULT: one it renumbers takes its own
// number; an error of the control facility (0x800A....), which ADO and the
// scripting objects raise, is numbered by its low 16 bits, as Err.Number
// shows it (0x800A0E7A is 3706, 0x800A004C is 76); any other HRESULT keeps
// its value.
int32_t NumberOf(HRESULT hr) {
  if (const RenumberedError* renumbered = RenumberedOf(hr)) return renumbered->number;
  if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) return HRESULT_CODE(hr);
  return static_cast<int32_t>(hr);
}

// The text for an HRESULT that came with no description: the run-time's
// own for one it renumbers, else the system's.
std::u16string DefaultText(HRESULT hr) {
  if (const RenumberedError* renumbered = RenumberedOf(hr)) return vb_error::Raise(renumbered->number).description();
  return SystemText(hr);
}

}  // namespace

ComPtr<IDispatch> CreateObject(const std::u16string& prog_id) {
  CLSID clsid{};
  ComPtr<IDispatch> object;
  if (FAILED(CLSIDFromProgID(Wide(prog_id), &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(object.put())))) {
    throw vb_error::Raise(vb_error::kCannotCreateObject);
  }
  return object;
}

RunTimeError ErrorOf(HRESULT hr, EXCEPINFO* exception, IUnknown* object, REFIID iid) {
  if (hr == DISP_E_EXCEPTION && exception != nullptr) {
    if (exception->pfnDeferredFillIn != nullptr) exception->pfnDeferredFillIn(exception);
    const int32_t number = exception->wCode != 0 ? exception->wCode : NumberOf(exception->scode);
    std::u16string description = TakeBstr(exception->bstrDescription);
    SysFreeString(exception->bstrSource);
    SysFreeString(exception->bstrHelpFile);
    if (description.empty()) description = DefaultText(exception->scode);
    return RunTimeError(number, description);
  }
  if (hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_UNKNOWNNAME) {
    return vb_error::Raise(vb_error::kPropertyNotSupported);
  }
  std::u16string description = ErrorInfoText(object, iid);
  if (description.empty()) description = DefaultText(hr);
  return RunTimeError(NumberOf(hr), description);
}

DISPID Dispatch::IdOf(const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) throw ErrorOf(hr, nullptr, object_.get(), IID_IDispatch);
  return id;
}

Variant Dispatch::Invoke(DISPID id, WORD flags, DISPPARAMS* parameters) {
  Variant result;
  EXCEPINFO exception{};
  UINT argument_error = 0;
  const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, parameters,
                                     result.get(), &exception, &argument_error);
  if (FAILED(hr)) throw ErrorOf(hr, &exception, object_.get(), IID_IDispatch);
  return result;
}

Variant Dispatch::Get(const wchar_t* name) {
  DISPPARAMS none{};
  return Invoke(IdOf(name), DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none);
}

void Dispatch::Put(const wchar_t* name, const std::u16string& value) {
  Variant argument(value);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{argument.get(), &named, 1, 1};
  Invoke(IdOf(name), DISPATCH_PROPERTYPUT, &parameters);
}

Variant Dispatch::Call(const wchar_t* name, std::initializer_list<std::u16string> arguments) {
  const DISPID id = IdOf(name);
  // DISPPARAMS holds the arguments last to first.
  std::vector<VARIANT> reversed(arguments.size());
  std::vector<Variant> owned;
  owned.reserve(arguments.size());
  for (const std::u16string& argument : arguments) owned.emplace_back(argument);
  for (size_t i = 0; i < owned.size(); ++i) reversed[owned.size() - 1 - i] = *owned[i];
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return Invoke(id, DISPATCH_METHOD, &parameters);
}

Variant Dispatch::CallWith(const wchar_t* name, std::vector<Variant>& arguments, WORD flags) {
  const DISPID id = IdOf(name);
  std::vector<VARIANT> reversed(arguments.size());
  for (size_t i = 0; i < arguments.size(); ++i) reversed[arguments.size() - 1 - i] = *arguments[i];
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return Invoke(id, flags, &parameters);
}

ComPtr<IEnumVARIANT> Dispatch::NewEnum() {
  DISPPARAMS none{};
  Variant result = Invoke(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none);
  ComPtr<IEnumVARIANT> enumerator;
  IUnknown* unknown = (*result).vt == VT_UNKNOWN || (*result).vt == VT_DISPATCH
                          ? (*result).punkVal
                          : nullptr;
  if (unknown == nullptr ||
      FAILED(unknown->QueryInterface(IID_IEnumVARIANT,
                                     reinterpret_cast<void**>(enumerator.put())))) {
    throw vb_error::Raise(vb_error::kPropertyNotSupported);
  }
  return enumerator;
}

int64_t WholeNumberOf(const Variant& value) {
  Variant as_double;
  const VARTYPE type = (*value).vt;
  if (type == VT_EMPTY || type == VT_BSTR || type == VT_DISPATCH || type == VT_UNKNOWN ||
      FAILED(VariantChangeType(as_double.get(), const_cast<VARIANT*>(&*value), 0, VT_R8))) {
    throw vb_error::Raise(vb_error::kTypeMismatch);
  }
  return static_cast<int64_t>((*as_double).dblVal);
}

ComPtr<IDispatch> DispatchOf(const Variant& value) {
  if ((*value).vt != VT_DISPATCH || (*value).pdispVal == nullptr) {
    throw RunTimeError(kObjectRequired, u"缺少对象");
  }
  (*value).pdispVal->AddRef();
  return ComPtr<IDispatch>((*value).pdispVal);
}

}  // namespace brevak::win32
