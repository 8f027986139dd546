#include "platform/win32/fso_folders.h"

#include <utility>

#include "platform/win32/dispatch.h"
#include "platform/win32/wide.h"

namespace brevak::win32 {
namespace {

class FsoFolder : public Folder {
 public:
  explicit FsoFolder(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  std::u16string Name() override;
  std::unique_ptr<FolderEnumeration> SubFolders() override;
  std::unique_ptr<FileEnumeration> Files() override;

 private:
  Dispatch object_;
};

class FsoFile : public File {
 public:
  explicit FsoFile(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  std::u16string Name() override;
  // Size is a long, or a double past 2 GB.
  int64_t Size() override { return WholeNumberOf(object_.Get(L"Size")); }
  double DateLastModified() override {
    const Variant value = object_.Get(L"DateLastModified");
    if ((*value).vt != VT_DATE) throw vb_error::Raise(vb_error::kTypeMismatch);
    return (*value).date;
  }

 private:
  Dispatch object_;
};

// The items of a collection's _NewEnum (Files, SubFolders), each object
// wrapped as an `Item` (FsoFile, FsoFolder) of `Enumeration`.
template <class Enumeration, class Item>
class ItemEnumeration : public Enumeration {
 public:
  explicit ItemEnumeration(ComPtr<IEnumVARIANT> enumerator) : enumerator_(std::move(enumerator)) {}

  // The next item, or null when none is left.
  decltype(std::declval<Enumeration&>().Next()) Next() override {
    Variant item;
    ULONG fetched = 0;
    const HRESULT hr = enumerator_->Next(1, item.get(), &fetched);
    if (FAILED(hr)) throw ErrorOf(hr, nullptr, enumerator_.get(), IID_IEnumVARIANT);
    if (hr == S_FALSE || fetched == 0) return nullptr;
    return std::make_unique<Item>(DispatchOf(item));
  }

 private:
  ComPtr<IEnumVARIANT> enumerator_;
};

// A text variant's text; 13 "type mismatch" for anything else.
std::u16string TextOf(const Variant& value) {
  if ((*value).vt != VT_BSTR) throw vb_error::Raise(vb_error::kTypeMismatch);
  return FromWide((*value).bstrVal, SysStringLen((*value).bstrVal));
}

// A Boolean result as the run-time tests it: any non-zero value is True.
bool IsTrue(const Variant& value) { return WholeNumberOf(value) != 0; }

class Fso : public FileSystemObject {
 public:
  explicit Fso(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  std::unique_ptr<Folder> GetFolder(const std::u16string& path) override {
    return std::make_unique<FsoFolder>(DispatchOf(object_.Call(L"GetFolder", {path})));
  }
  std::unique_ptr<File> GetFile(const std::u16string& path) override {
    return std::make_unique<FsoFile>(DispatchOf(object_.Call(L"GetFile", {path})));
  }
  bool FolderExists(const std::u16string& path) override { return IsTrue(object_.Call(L"FolderExists", {path})); }
  bool FileExists(const std::u16string& path) override { return IsTrue(object_.Call(L"FileExists", {path})); }
  void DeleteFolder(const std::u16string& path) override {
    std::vector<Variant> arguments;
    arguments.emplace_back(path);
    arguments.push_back(Variant::Boolean(true));
    object_.CallWith(L"DeleteFolder", arguments);
  }
  void CreateFolder(const std::u16string& path) override { object_.Call(L"CreateFolder", {path}); }
  int64_t AvailableSpace(const std::u16string& path) override {
    const std::u16string name = TextOf(object_.Call(L"GetDriveName", {path}));
    Dispatch drive(DispatchOf(object_.Call(L"GetDrive", {name})));
    return WholeNumberOf(drive.Get(L"AvailableSpace"));
  }

 private:
  Dispatch object_;
};

std::u16string FsoFolder::Name() { return TextOf(object_.Get(L"Name")); }

std::unique_ptr<FolderEnumeration> FsoFolder::SubFolders() {
  Dispatch collection(DispatchOf(object_.Get(L"SubFolders")));
  return std::make_unique<ItemEnumeration<FolderEnumeration, FsoFolder>>(collection.NewEnum());
}

std::u16string FsoFile::Name() { return TextOf(object_.Get(L"Name")); }

std::unique_ptr<FileEnumeration> FsoFolder::Files() {
  Dispatch collection(DispatchOf(object_.Get(L"Files")));
  return std::make_unique<ItemEnumeration<FileEnumeration, FsoFile>>(collection.NewEnum());
}

}  // namespace

FsoFolders::FsoFolders() : apartment_(std::make_unique<ComApartment>()) {}

FsoFolders::~FsoFolders() = default;

std::unique_ptr<FileSystemObject> FsoFolders::CreateFileSystemObject() {
  return std::make_unique<Fso>(CreateObject(u"Scripting.FileSystemObject"));
}

// The buffer grows until the whole path fits: a path may be longer than
// MAX_PATH where long paths are enabled.
std::u16string FsoFolders::AppPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return FolderOf(FromWide(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::u16string FolderOf(const std::u16string& file_path) {
  const size_t slash = file_path.find_last_of(u'\\');
  return slash == std::u16string::npos ? std::u16string() : file_path.substr(0, slash);
}

}  // namespace brevak::win32
