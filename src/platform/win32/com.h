#ifndef BREVAK_PLATFORM_WIN32_COM_H_
#define BREVAK_PLATFORM_WIN32_COM_H_

// Small RAII wrappers for COM: an interface pointer, a VARIANT and the
// thread's apartment. Include after the platform headers (windows.h macros).
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <utility>

namespace brevak::win32 {

// Owns one reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* adopted) : p_(adopted) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Releases what is held and returns the place for an out-argument.
  T** put() {
    reset();
    return &p_;
  }
  void reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// Owns a VARIANT: cleared when it goes.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  explicit Variant(const std::u16string& text) {
    VariantInit(&value_);
    value_.vt = VT_BSTR;
    value_.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                       static_cast<UINT>(text.size()));
  }
  static Variant Long(int32_t number) {
    Variant value;
    value.value_.vt = VT_I4;
    value.value_.lVal = number;
    return value;
  }
  static Variant Boolean(bool flag) {
    Variant value;
    value.value_.vt = VT_BOOL;
    value.value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
  }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant& operator=(Variant&&) = delete;
  ~Variant() { VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_;
};

// CoInitialize for as long as the object lives (apartment-threaded, as the
// tool's single thread has always been). Calls nest.
class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }

 private:
  bool initialized_;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_COM_H_
