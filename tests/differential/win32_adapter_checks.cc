// win32-adapter-checks.exe: the Win32 adapters against the real calls (run
// under Wine with code page 936 by scripts/test-windows, or on Windows).
// Each check prints "ok - ..." or "FAIL - ..."; the last line counts them.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/jet_database.h"
#include "platform/scripted/transcript.h"
#include "platform/win32/ado_database.h"
#include "platform/win32/fso_folders.h"
#include "platform/win32/shutdown_block.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_data_file_use.h"
#include "platform/win32/win32_durable_files.h"
#include "platform/win32/win32_file_digests.h"
#include "platform/win32/win32_instance_lock.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell_copy.h"
#include "platform/win32/win32_window_system.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/wide.h"
// After the platform headers: these include windows.h, whose macros would
// shadow their names.
#include "foreign_mutex.h"
#include "platform/win32/system_library.h"

namespace brevak::win32 {
namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const std::string& what) {
  (ok ? passed : failed)++;
  const std::string line = (ok ? "ok - " : "FAIL - ") + what + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char digits[4];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", byte);
    out += digits;
  }
  return out;
}

void CheckCodePage() {
  struct Case {
    std::u16string text;
    std::string ansi;
  };
  const Case cases[] = {
      {u"", ""},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {std::u16string(u"\0\0", 2), std::string("\0\0", 2)},
      {u"中文", "\xD6\xD0\xCE\xC4"},
      {std::u16string(u"预设\0值", 4), std::string("\xD4\xA4\xC9\xE8\0\xD6\xB5", 7)},
  };
  Win32CodePage code_page;
  for (const Case& c : cases) {
    const std::string ansi = code_page.ToAnsi(c.text);
    Check(ansi == c.ansi, "code page: " + std::to_string(c.text.size()) + " units to " + Hex(ansi));
    Check(code_page.FromAnsi(c.ansi) == c.text, "code page: " + Hex(c.ansi) + "back");
  }
}

// A character code page 936 cannot hold is refused, never replaced: a "?"
// would be a wildcard in a copy pattern, a best-fit letter another name.
void CheckCodePageRefusals() {
  const std::u16string texts[] = {u"C:\\한국\\*.car", u"C:\\Brevak\\\U0001F600.mdb",
                                  u"C:\\Brevak\\\u0100.ini"};
  Win32CodePage code_page;
  for (const std::u16string& text : texts) {
    int32_t number = 0;
    std::string converted;
    try {
      converted = code_page.ToAnsi(text);
    } catch (const RunTimeError& error) {
      number = error.number();
    }
    Check(number == vb_error::kInvalidProcedureCall,
          "code page: " + EscapeText(text) + " refused (error " + std::to_string(number) +
              ", not " + Hex(converted) + ")");
  }
}

void CheckFolderOf() {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"C:\\升级包\\brevak-upgrade.exe", u"C:\\升级包"},
      {u"C:\\brevak-upgrade.exe", u"C:"},
      {u"\\\\server\\share\\a.exe", u"\\\\server\\share"},
      {u"a.exe", u""},
  };
  for (const auto& [path, folder] : cases) {
    Check(FolderOf(path) == folder, "folder of " + EscapeText(path));
  }
  const std::u16string app_path = FsoFolders().AppPath();
  Check(!app_path.empty() && app_path.back() != u'\\',
        "own folder without a trailing backslash: " + EscapeText(app_path));
}

// HKEY_CURRENT_USER: inside namespace brevak the macro's HKEY would name
// the platform interface's handle type.
constexpr uint32_t kCurrentUser = 0x80000001u;
::HKEY CurrentUser() { return reinterpret_cast<::HKEY>(static_cast<uintptr_t>(kCurrentUser)); }

// A value under HKEY_CURRENT_USER, made with the W calls, read back through
// the 8-bit adapter: sizes in GBK bytes.
void CheckRegistry() {
  const wchar_t* path = L"Software\\BrevakAdapterChecks";
  ::HKEY made = nullptr;
  RegCreateKeyExW(CurrentUser(), path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr);
  const std::wstring data = L"安装目录";
  RegSetValueExW(made, L"中文名", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(made);

  Win32Registry registry;
  brevak::HKEY key = 0;
  Check(registry.RegOpenKeyA(kCurrentUser, "Software\\BrevakAdapterChecks", &key) == 0,
        "registry: the key opens through RegOpenKeyA");
  char name[257] = {};
  uint32_t name_size = 256, type = 0, data_size = 0;
  const int32_t rc =
      registry.RegEnumValueA(key, 0, name, &name_size, nullptr, &type, nullptr, &data_size);
  Check(rc == 0 && type == REG_SZ && name_size == 6 && data_size == 9,
        "registry: first read gives the type and GBK sizes (name 6, data 9): " +
            std::to_string(name_size) + ", " + std::to_string(data_size));
  Check(std::string(name) == "\xD6\xD0\xCE\xC4\xC3\xFB", "registry: the name in GBK");
  Check(registry.RegEnumValueA(key, 1, name, &name_size, nullptr, &type, nullptr, &data_size) ==
            ERROR_NO_MORE_ITEMS,
        "registry: no value past the last");
  registry.RegCloseKey(key);
  RegDeleteKeyW(CurrentUser(), path);
}

void WriteFile(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What an earlier run left in the destination: the copy starts from no folder.
void RemoveDestination() {
  for (const wchar_t* file : {L"数据一.car", L"数据二.car"}) {
    DeleteFileW((std::wstring(L"C:\\适配检查\\目标\\") + file).c_str());
  }
  for (const wchar_t* folder : {L"20121225051422", L"图片 二"}) {
    RemoveDirectoryW((std::wstring(L"C:\\适配检查\\目标\\") + folder).c_str());
  }
  RemoveDirectoryW(L"C:\\适配检查\\目标");
}

void CheckShellCopy() {
  RemoveDestination();
  CreateDirectoryW(L"C:\\适配检查", nullptr);
  CreateDirectoryW(L"C:\\适配检查\\源", nullptr);
  WriteFile(L"C:\\适配检查\\源\\数据一.car", "1");
  WriteFile(L"C:\\适配检查\\源\\数据二.car", "2");
  Win32CodePage code_page;
  Win32ShellCopy shell;
  ShFileOpStruct op;
  op.wFunc = FO_COPY;
  op.pFrom = code_page.ToAnsi(u"C:\\适配检查\\源\\*.car") + std::string(2, '\0');
  op.pTo = code_page.ToAnsi(u"C:\\适配检查\\目标\\");  // one NUL only: the adapter closes the list
  op.fFlags = FOF_NOCONFIRMMKDIR | FOF_MULTIDESTFILES;
  const int32_t result = shell.SHFileOperationA(&op);
  Check(result == 0 && op.fAnyOperationsAborted == 0 &&
            Exists(L"C:\\适配检查\\目标\\数据一.car") && Exists(L"C:\\适配检查\\目标\\数据二.car"),
        "shell copy: two files into a new folder, result " + std::to_string(result));

  ShFileOpStruct missing;
  missing.wFunc = FO_COPY;
  missing.pFrom = code_page.ToAnsi(u"C:\\适配检查\\无此文件.car") + std::string(2, '\0');
  missing.pTo = code_page.ToAnsi(u"C:\\适配检查\\目标\\");
  missing.fFlags = FOF_NOCONFIRMATION | FOF_MULTIDESTFILES;
  const int32_t missing_result = shell.SHFileOperationA(&missing);
  Check(missing_result != 0, "shell copy: a missing source fails, result " +
                                 std::to_string(missing_result) + ", last error " +
                                 std::to_string(shell.GetLastError()));
}

// SHA-256 through CryptoAPI: the standard's vectors and a missing file;
// the record's read refuses a folder or a file over 64 KiB.
void CheckDigestsAndRecordRead() {
  CreateDirectoryW(L"C:\\适配检查", nullptr);
  Win32FileDigests digests;
  for (const auto& [bytes, digest] : {std::pair<std::string, std::string>{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                                      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
                                      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}}) {
    WriteFile(L"C:\\适配检查\\摘要.mdb", bytes);
    Check(digests.Sha256(u"C:\\适配检查\\摘要.mdb", nullptr) == digest, "digest: SHA-256 of " + std::to_string(bytes.size()) + " bytes");
  }
  Check(!digests.Sha256(u"C:\\适配检查\\没有.mdb", nullptr), "digest: a missing file has none");
  WriteFile(L"C:\\适配检查\\大.brevak", std::string(65537, 'x'));
  CreateDirectoryW(L"C:\\适配检查\\夹.brevak", nullptr);
  for (const char16_t* path : {u"C:\\适配检查\\大.brevak", u"C:\\适配检查\\夹.brevak"}) {
    bool refused = false;
    try {
      Win32DurableFiles().ReadText(path);
    } catch (const RunTimeError&) {
      refused = true;
    }
    Check(refused, "record read: refused " + EscapeText(path));
  }
}

void CheckFolders() {
  CreateDirectoryW(L"C:\\适配检查\\目标\\20121225051422", nullptr);
  CreateDirectoryW(L"C:\\适配检查\\目标\\图片 二", nullptr);
  FsoFolders folders;
  auto fso = folders.CreateFileSystemObject();
  std::vector<std::u16string> names;
  auto enumeration = fso->GetFolder(u"C:\\适配检查\\目标\\")->SubFolders();
  while (auto folder = enumeration->Next()) names.push_back(folder->Name());
  std::sort(names.begin(), names.end());
  Check(names == std::vector<std::u16string>{u"20121225051422", u"图片 二"},
        "folders: the subfolders' names through FileSystemObject");
  int32_t number = 0;
  try {
    fso->GetFolder(u"C:\\适配检查\\无此目录");
  } catch (const RunTimeError& error) {
    number = error.number();
  }
  Check(number == brevak::vb_error::kPathNotFound,
        "folders: GetFolder of a missing folder raises error " + std::to_string(number));
  number = 0;
  try {
    CreateObject(u"Brevak.NoSuchClass");
  } catch (const RunTimeError& error) {
    number = error.number();
  }
  Check(number == 429, "an unregistered class raises error 429");
}

// An object that says whether its calls leave error objects.
class ErrorInfoSupport : public ISupportErrorInfo {
 public:
  explicit ErrorInfoSupport(bool supported) : supported_(supported) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_ISupportErrorInfo ? this : nullptr;
    return *out != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }  // lives on the stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override {
    return supported_ ? S_OK : S_FALSE;
  }

 private:
  bool supported_;
};

// SetErrorInfo with `text`, as a failing object leaves it.
void LeaveErrorObject(const wchar_t* text) {
  ComPtr<ICreateErrorInfo> create;
  ComPtr<IErrorInfo> info;
  CreateErrorInfo(create.put());
  create->SetDescription(const_cast<LPOLESTR>(text));
  create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.put()));
  SetErrorInfo(0, info.get());
}

// The HRESULTs the run-time renumbers keep its numbers; an error object is
// this failure's only when the object supports error info.
void CheckDispatchErrors() {
  const std::pair<HRESULT, int32_t> renumbered[] = {
      {DISP_E_TYPEMISMATCH, 13}, {E_INVALIDARG, 5}, {E_OUTOFMEMORY, 7},
      {DISP_E_BADPARAMCOUNT, 450}, {DISP_E_PARAMNOTOPTIONAL, 449}, {E_FAIL, E_FAIL}};
  for (const auto& [hr, number] : renumbered) {
    const RunTimeError error = ErrorOf(hr, nullptr, nullptr, IID_IDispatch);
    Check(error.number() == number && !error.description().empty(),
          "dispatch: HRESULT " + std::to_string(hr) + " raises " + std::to_string(error.number()) +
              " " + EscapeText(error.description()));
  }
  ComApartment apartment;
  for (const bool supported : {false, true}) {
    ErrorInfoSupport object(supported);
    LeaveErrorObject(L"对象留下的说明");
    const std::u16string text = ErrorOf(E_FAIL, nullptr, &object, IID_IDispatch).description();
    Check((text == u"对象留下的说明") == supported,
          std::string("dispatch: error info ") + (supported ? "supported" : "unsupported") +
              ", text " + EscapeText(text));
  }
}

// A click on a button of the update window, as the button sends it.
void PostClick(HWND form, const wchar_t* caption) {
  const HWND button = FindWindowExW(form, nullptr, L"BUTTON", caption);
  PostMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

// A form whose update, while it works, lets the window take a second click
// on 开始更新, a click on 显示升级记录 and the title bar's close.
struct BusyForm : FormEvents {
  void Form_Load() override {}
  void Form_Unload(int16_t&) override { calls += "unload "; }
  void CmdUpdate_Click() override {
    calls += "update ";
    if (calls != "update ") return;
    const HWND form = reinterpret_cast<HWND>(window->hWnd());
    PostClick(form, L"开始更新");
    PostClick(form, L"显示升级记录");
    const HWND list = FindWindowExW(form, nullptr, L"LISTBOX", nullptr);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // the first entry
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageW(form, WM_CLOSE, 0, 0);
    window->DoEvents();
    if (GetQueueStatus(QS_POSTMESSAGE) != 0) calls += "(queue left) ";
  }
  void cmdGetHistory_Click() override { calls += "history "; }
  void ListDir_Click() override { calls += "list "; }
  void CmdRestore_Click() override {}
  void CmdClose_Click() override {}

  Win32WindowSystem* window = nullptr;
  std::string calls;
};

// DoEvents works off the queue, and what the user did meanwhile starts no
// handler; once the handler has returned the window takes clicks again.
void CheckOneHandlerAtATime() {
  Win32WindowSystem window;
  BusyForm form;
  form.window = &window;
  window.Show(&form);
  window.AddItem(u"20121225051422");
  const HWND handle = reinterpret_cast<HWND>(window.hWnd());
  PostClick(handle, L"开始更新");
  window.DoEvents();
  Check(form.calls == "update " && window.hWnd() != 0 && window.ListIndex() == -1,
        "window: DoEvents starts no second handler: " + form.calls);
  PostMessageW(handle, WM_CLOSE, 0, 0);
  window.DoEvents();
  Check(form.calls == "update unload " && window.hWnd() == 0, "window: then closes: " + form.calls);
}

// What the window answers to a shutdown, and the reason it leaves for the
// shutdown screen (Vista and later; "none" where the system keeps none, or
// answers with an empty one).
struct ShutdownAnswer {
  LRESULT answer;
  std::u16string reason;
};

ShutdownAnswer AskToShutDown(HWND window) {
  using QueryFunction = BOOL(WINAPI*)(HWND, LPWSTR, DWORD*);
  const auto query = FunctionAs<QueryFunction>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "ShutdownBlockReasonQuery"));
  ShutdownAnswer asked{SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), u"none"};
  wchar_t reason[256] = {};
  DWORD size = 256;
  if (query != nullptr && query(window, reason, &size) && reason[0] != L'\0') asked.reason = FromWide(reason);
  return asked;
}

// A form whose update names what it does and asks the window, while it
// runs, to let Windows end.
struct ShutdownForm : FormEvents {
  void Form_Load() override {}
  void Form_Unload(int16_t&) override {}
  void CmdUpdate_Click() override {
    window->SetBusyReason(u"正在恢复Brevak数据");
    during = AskToShutDown(reinterpret_cast<HWND>(window->hWnd()));
  }
  void cmdGetHistory_Click() override {}
  void ListDir_Click() override {}
  void CmdRestore_Click() override {}
  void CmdClose_Click() override {}

  Win32WindowSystem* window = nullptr;
  ShutdownAnswer during{-1, u""};
};

// Shutdown and log-off are refused while a handler runs, with the reason
// where the system keeps one; allowed again once it has returned.
void CheckShutdownRefused() {
  Win32WindowSystem window;
  ShutdownForm form;
  form.window = &window;
  window.Show(&form);
  const HWND handle = reinterpret_cast<HWND>(window.hWnd());
  PostClick(handle, L"开始更新");
  window.DoEvents();
  const ShutdownAnswer after = AskToShutDown(handle);
  const bool reason_kept = form.during.reason != u"none";
  Check(form.during.answer == FALSE && (!reason_kept || form.during.reason == u"正在恢复Brevak数据，请等待完成后再关机"),
        "window: shutdown refused during a handler, naming what it does, reason " + EscapeText(form.during.reason));
  Check(after.answer != FALSE && (!reason_kept || after.reason == u"none"),
        "window: shutdown allowed after it, reason " + EscapeText(after.reason));
}

// The events between a check and the thread that holds the tool's mutex.
struct MutexHolder {
  HANDLE taken;  // set by the thread once it owns the mutex
  HANDLE stop;   // set by the check when the thread may let it go
};

// Runs on a thread of its own: owns the tool's mutex until told to stop.
DWORD WINAPI HoldMutexOnAnotherThread(void* parameter) {
  const auto* holder = static_cast<const MutexHolder*>(parameter);
  const HANDLE mutex = CreateMutexW(nullptr, TRUE, kInstanceMutexName);
  SetEvent(holder->taken);
  WaitForSingleObject(holder->stop, INFINITE);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}

// The one-copy lock: free, held by another copy (here another thread,
// which owns a mutex as another process would), and made by another
// account, which this one may not open.
void CheckInstanceLock() {
  {
    Win32InstanceLock lock;
    Check(lock.TryLock() && lock.TryLock(), "instance lock: a free mutex is taken, and taken again");
  }
  MutexHolder holder{CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  const HANDLE thread = CreateThread(nullptr, 0, HoldMutexOnAnotherThread, &holder, 0, nullptr);
  WaitForSingleObject(holder.taken, 5000);
  Check(!Win32InstanceLock().TryLock(), "instance lock: a mutex another copy owns is held");
  SetEvent(holder.stop);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(holder.taken);
  CloseHandle(holder.stop);
  const HANDLE foreign = CreateForeignMutex();
  if (foreign == nullptr || !ForeignMutexKeepsOut()) {
    std::puts("note - instance lock: this system lets every account open any mutex; not checked");
  } else {
    Check(!Win32InstanceLock().TryLock(), "instance lock: another account's mutex is held");
  }
  if (foreign != nullptr) CloseHandle(foreign);
}

// The file-system object's members the update's checks use: the files of a
// folder with their sizes, existence, the free space of a drive and the
// removal of a folder tree.
void CheckFileSystemObject() {
  FsoFolders folders;
  auto fso = folders.CreateFileSystemObject();
  std::vector<std::pair<std::u16string, int64_t>> files;
  auto listing = fso->GetFolder(u"C:\\适配检查\\目标")->Files();
  while (auto file = listing->Next()) files.emplace_back(file->Name(), file->Size());
  std::sort(files.begin(), files.end());
  Check(files == std::vector<std::pair<std::u16string, int64_t>>{{u"数据一.car", 1}, {u"数据二.car", 1}},
        "file-system object: the files of a folder with their sizes");
  Check(fso->FileExists(u"C:\\适配检查\\目标\\数据一.car") && !fso->FileExists(u"C:\\适配检查\\目标\\图片 二") &&
            fso->FolderExists(u"C:\\适配检查\\目标\\图片 二") && !fso->FolderExists(u"C:\\适配检查\\无此目录"),
        "file-system object: FileExists and FolderExists");
  Check(fso->AvailableSpace(u"C:\\适配检查\\目标\\") > 0, "file-system object: the drive's available space");
  CreateDirectoryW(L"C:\\适配检查\\删除", nullptr);
  CreateDirectoryW(L"C:\\适配检查\\删除\\子", nullptr);
  WriteFile(L"C:\\适配检查\\删除\\子\\数据.car", "3");
  SetFileAttributesW(L"C:\\适配检查\\删除\\子\\数据.car", FILE_ATTRIBUTE_READONLY);
  fso->DeleteFolder(u"C:\\适配检查\\删除");
  Check(!Exists(L"C:\\适配检查\\删除"), "file-system object: DeleteFolder removes the tree, read-only files too");
}

// A database file after Close, with ADO's default pooling and through the
// ADO adapter: only the adapter's connection has let the file go. Needs
// the test harness's ADODB.Connection, which pools as ADO does
// (tests/wine_ado), and a database at `file`.
void CheckPooling(const std::u16string& file) {
  ComApartment apartment;
  const std::u16string connection_string = ConnectionString(file, u"");
  Win32DataFileUse use;
  {
    Dispatch pooled(CreateObject(u"Adodb.Connection"));
    pooled.Put(L"Provider", kProvider);
    pooled.Call(L"Open", {connection_string});
    pooled.Call(L"Close");
    Check(use.InUse(file, u""), "pooling: ADO's default keeps the file open after Close");
  }
  AdoDatabase database;
  const std::unique_ptr<Connection> connection = database.CreateConnection(u"Adodb.Connection");
  connection->SetProvider(kProvider);
  connection->Open(connection_string);
  Check(use.InUse(file, u""), "pooling: the adapter's open connection holds the file");
  connection->Close();
  Check(!use.InUse(file, u""), "pooling: the adapter's closed connection has let it go");
}

// The environment variable's value; empty when it is not set.
std::u16string EnvironmentValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? FromWide(value, length) : std::u16string();
}

}  // namespace
}  // namespace brevak::win32

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  using namespace brevak::win32;
  std::vector<std::function<void()>> groups = {CheckCodePage, CheckCodePageRefusals, CheckFolderOf, CheckRegistry,
                                                CheckShellCopy, CheckFolders, CheckFileSystemObject,
                                                CheckDispatchErrors, CheckOneHandlerAtATime, CheckShutdownRefused,
                                                CheckInstanceLock, CheckDigestsAndRecordRead};
  // BREVAK_POOLING_FILE names a database: only the pooling check, where
  // the test harness's ADODB.Connection is registered.
  if (const std::u16string file = EnvironmentValue(L"BREVAK_POOLING_FILE"); !file.empty()) {
    groups = {[file] { CheckPooling(file); }};
  }
  for (const auto& group : groups) {
    try {
      group();
    } catch (const brevak::RunTimeError& error) {
      Check(false, "run-time error " + std::to_string(error.number()) + " " +
                       brevak::EscapeText(error.description()));
    }
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
