#ifndef BREVAK_PLATFORM_WIN32_DISPATCH_H_
#define BREVAK_PLATFORM_WIN32_DISPATCH_H_

// Late-bound calls through IDispatch, the way the run-time makes them for an
// object held in a variant. Every failure is a RunTimeError.
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/win32/com.h"

namespace brevak::win32 {

// CreateObject(prog_id): 429 when the class is not registered or the object
// cannot be made.
ComPtr<IDispatch> CreateObject(const std::u16string& prog_id);

// The run-time error for a failed call of `object` through its interface
// `iid`: the exception's number (its wCode, or its scode) and description
// when the object raised one; 438 for a member the object lacks; else the
// HRESULT with the description of the error object the call left (only when
// the object supports error info for `iid`), or the run-time's or the
// system's text. Numbered as the run-time numbers them: DISP_E_TYPEMISMATCH
// 13, E_INVALIDARG 5, E_OUTOFMEMORY 7, DISP_E_PARAMNOTOPTIONAL 449,
// DISP_E_BADPARAMCOUNT 450, an HRESULT of the control facility (0x800A....)
// by its low 16 bits, any other by its value.
RunTimeError ErrorOf(HRESULT hr, EXCEPINFO* exception, IUnknown* object, REFIID iid);

class Dispatch {
 public:
  explicit Dispatch(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // Property get (or a call without arguments that returns a value).
  Variant Get(const wchar_t* name);
  // Property put.
  void Put(const wchar_t* name, const std::u16string& value);
  // A method call with text arguments, in their written order.
  Variant Call(const wchar_t* name, std::initializer_list<std::u16string> arguments = {});
  // A call with arguments of any type, in their written order; `flags` as
  // Invoke takes them (an indexed property is a method or a property get).
  Variant CallWith(const wchar_t* name, std::vector<Variant>& arguments,
                   WORD flags = DISPATCH_METHOD);
  // The object's enumerator (_NewEnum) as IEnumVARIANT.
  ComPtr<IEnumVARIANT> NewEnum();

 private:
  DISPID IdOf(const wchar_t* name);
  Variant Invoke(DISPID id, WORD flags, DISPPARAMS* parameters);

  ComPtr<IDispatch> object_;
};

// A numeric variant (any integer, double, currency or decimal) as a whole
// number; 13 "type mismatch" for anything else.
int64_t WholeNumberOf(const Variant& value);

// The IDispatch a VT_DISPATCH variant holds (a new reference); 424 "object
// required" when it holds none.
ComPtr<IDispatch> DispatchOf(const Variant& value);

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_DISPATCH_H_
