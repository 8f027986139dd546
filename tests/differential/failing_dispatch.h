#ifndef BREVAK_TESTS_DIFFERENTIAL_FAILING_DISPATCH_H_
#define BREVAK_TESTS_DIFFERENTIAL_FAILING_DISPATCH_H_

// An automation object whose every call fails with a chosen HRESULT, for
// checking how late-bound failures become run-time errors. With
// `description` it supports error info and leaves an error object with that
// text, as ADO does; without, it supports none.
#include <string>

#include "platform/win32/com.h"

namespace brevak::win32 {

class FailingDispatch : public IDispatch, public ISupportErrorInfo {
 public:
  FailingDispatch(HRESULT failure, std::wstring description)
      : failure_(failure), description_(std::move(description)) {}
  virtual ~FailingDispatch() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
    if (iid == IID_ISupportErrorInfo && !description_.empty()) {
      *out = static_cast<ISupportErrorInfo*>(this);
    }
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                          DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) ids[i] = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (!description_.empty()) LeaveErrorObject(description_.c_str());
    return failure_;
  }
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_IDispatch ? S_OK : S_FALSE;
  }

  // SetErrorInfo with `text`: what a failing object leaves for its caller.
  static void LeaveErrorObject(const wchar_t* text) {
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.put()))) return;
    create->SetDescription(const_cast<LPOLESTR>(text));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.put())))) {
      SetErrorInfo(0, info.get());
    }
  }

 private:
  HRESULT failure_;
  std::wstring description_;
  ULONG references_ = 1;
};

}  // namespace brevak::win32

#endif  // BREVAK_TESTS_DIFFERENTIAL_FAILING_DISPATCH_H_
