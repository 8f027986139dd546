#include "platform/win32/win32_window_system.h"

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <string>

#include "platform/win32/message_box.h"
#include "platform/win32/shutdown_block.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"
#include "platform/window_controls.h"
#include "platform/win32/window_layout.h"

namespace brevak::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"BrevakFormUpdate";
constexpr int kFirstControlId = 100;
constexpr int16_t kMaxListEntries = 32767;

HWND Hwnd(uintptr_t handle) { return reinterpret_cast<HWND>(handle); }

struct ControlClass {
  const wchar_t* window_class;
  DWORD style;
  const char16_t* text;
};

// The window class, style and first text of each control, by Control.
ControlClass ClassOf(Control control) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
  switch (control) {
    case Control::Text1:
      return {L"EDIT", kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, u""};
    case Control::ProgressBar1: return {PROGRESS_CLASSW, WS_CHILD, u""};
    case Control::ListDir:
      return {L"LISTBOX",
              kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
              u""};
    case Control::cmdGetHistory: return {L"BUTTON", kButton, u"显示升级记录"};
    case Control::CmdRestore: return {L"BUTTON", kButton, u"恢复原来记录"};
    case Control::CmdUpdate: return {L"BUTTON", kButton, u"开始更新"};
    case Control::CmdClose: return {L"BUTTON", kButton, u"关闭"};
  }
  return {L"STATIC", kChild, u""};
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* system = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  intptr_t result = 0;
  if (system != nullptr && system->HandleMessage(message, wparam, lparam, &result)) return result;
  return DefWindowProcW(window, message, wparam, lparam);
}

bool IsInputToControl(const MSG& message, HWND window) {
  const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                     (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
  return input && IsChild(window, message.hwnd);
}

void RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kWindowIconId));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(
      instance, MAKEINTRESOURCEW(kWindowIconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
      GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);
}

// The font of a Chinese desktop's dialogs: SimSun 9 pt, GB2312 character set,
// so the font mapper picks a face with the Chinese glyphs where SimSun is
// missing.
HFONT CreateDialogFont(int dpi_y) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(9, dpi_y, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(font.lfFaceName, L"SimSun", LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

}  // namespace

Win32WindowSystem::Win32WindowSystem() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  instance_ = reinterpret_cast<uintptr_t>(instance);
  // comctl32 is no known DLL: reached from System32 (system_library.h).
  if (const auto init = FunctionAs<decltype(&::InitCommonControlsEx)>(
          FindSystemFunction(L"comctl32.dll", "InitCommonControlsEx"))) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    init(&controls);
  }
  RegisterWindowClass(instance);
  HDC screen = GetDC(nullptr);
  dpi_x_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpi_y_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  font_ = reinterpret_cast<uintptr_t>(CreateDialogFont(dpi_y_));
}

Win32WindowSystem::~Win32WindowSystem() {
  if (window_ != 0) DestroyWindow(Hwnd(window_));
  if (font_ != 0) DeleteObject(reinterpret_cast<HFONT>(font_));
}

int Win32WindowSystem::Run(const std::function<void()>& main) {
  ending_ = false;
  exit_code_ = 0;
  Guard(main);
  // Every handler runs inside DispatchMessageW, so the loop sees the window
  // go as soon as the message that destroyed it returns. No WM_QUIT is
  // posted: one left in the queue would close the run-time error box.
  MSG message;
  while (!ending_ && window_ != 0 && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(Hwnd(window_), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return exit_code_;
}

void Win32WindowSystem::Guard(const std::function<void()>& procedure) {
  if (ending_) return;
  if (const std::optional<RunTimeError> failure = CatchFailure(procedure)) EndWithError(*failure);
}

// The program ends here: the message, then the window goes without its
// unload steps.
void Win32WindowSystem::EndWithError(const RunTimeError& error) {
  ending_ = true;
  exit_code_ = 1;
  const bool visible = window_ != 0 && IsWindowVisible(Hwnd(window_));
  ShowRunTimeError(visible ? window_ : 0, error);
  DestroyMainWindow();
}

int Win32WindowSystem::MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) {
  const bool visible = window_ != 0 && IsWindowVisible(Hwnd(window_));
  return ShowMessageBox(visible ? window_ : 0, prompt, buttons);
}

void Win32WindowSystem::Show(FormEvents* form) {
  if (window_ != 0) return;  // already loaded: showing it again changes nothing
  form_ = form;
  progress_value_ = 0;
  CreateMainWindow();
  try {
    form_->Form_Load();
  } catch (...) {
    DestroyMainWindow();  // a failed load leaves no window behind
    throw;
  }
  PlaceWindow();
  ShowWindow(Hwnd(window_), SW_SHOW);
  UpdateWindow(Hwnd(window_));
  SetFocus(Hwnd(ControlWindow(Control::Text1)));
}

void Win32WindowSystem::CreateMainWindow() {
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, Pixels(kClientWidthTwips, true), Pixels(kClientHeightTwips, false)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT);
  HWND window = CreateWindowExW(
      WS_EX_CONTROLPARENT, kWindowClass, reinterpret_cast<const wchar_t*>(kApplicationTitle),
      kStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
      nullptr, nullptr, reinterpret_cast<HINSTANCE>(instance_), this);
  window_ = reinterpret_cast<uintptr_t>(window);
  CreateControls();
}

void Win32WindowSystem::CreateControls() {
  int id = kFirstControlId;
  for (const ControlLayout& layout : kLayout) {
    const ControlClass kind = ClassOf(layout.control);
    HWND control = CreateWindowExW(
        layout.control == Control::Text1 ? WS_EX_CLIENTEDGE : 0, kind.window_class,
        reinterpret_cast<const wchar_t*>(kind.text), kind.style, Pixels(layout.left, true),
        Pixels(layout.top, false), Pixels(layout.width, true), Pixels(layout.height, false),
        Hwnd(window_), reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
        reinterpret_cast<HINSTANCE>(instance_), nullptr);
    SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font_), FALSE);
    controls_[static_cast<size_t>(layout.control)] = reinterpret_cast<uintptr_t>(control);
    ++id;
  }
  SendMessageW(Hwnd(ControlWindow(Control::ProgressBar1)), PBM_SETRANGE32, 0, 100);
}

// The centre of the screen's work area.
void Win32WindowSystem::PlaceWindow() {
  RECT frame{};
  GetWindowRect(Hwnd(window_), &frame);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(Hwnd(window_), nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32WindowSystem::Pixels(int twips, bool horizontal) const {
  return MulDiv(twips, horizontal ? dpi_x_ : dpi_y_, kTwipsPerInch);
}

uintptr_t Win32WindowSystem::ControlWindow(Control control) {
  if (window_ == 0) throw vb_error::Raise(vb_error::kObjectNotSet);
  return controls_[static_cast<size_t>(control)];
}

uintptr_t Win32WindowSystem::ListBox() { return ControlWindow(Control::ListDir); }

void Win32WindowSystem::Unload() {
  if (window_ == 0) return;
  int16_t cancel = 0;
  form_->Form_Unload(cancel);
  if (cancel == 0) DestroyMainWindow();
}

void Win32WindowSystem::DestroyMainWindow() {
  form_ = nullptr;
  if (window_ == 0) return;
  const HWND window = Hwnd(window_);
  window_ = 0;
  controls_.fill(0);
  DestroyWindow(window);
}

bool Win32WindowSystem::HandleMessage(unsigned message, uintptr_t wparam, intptr_t,
                                      intptr_t* result) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      *result = 0;
      return true;
    case WM_CLOSE:
      OnClose();
      *result = 0;
      return true;
    case WM_QUERYENDSESSION:
      // Shutdown and log-off wait while a handler runs (DoEvents and the
      // shell's copy dialog deliver this message meanwhile).
      if (!handler_running_) return false;
      *result = FALSE;
      return true;
    default:
      return false;
  }
}

void Win32WindowSystem::RunHandler(const std::function<void()>& handler) {
  if (handler_running_) return;
  handler_running_ = true;
  {
    ShutdownBlock block(window_);
    shutdown_block_ = &block;
    Guard(handler);
    shutdown_block_ = nullptr;
  }
  handler_running_ = false;
}

void Win32WindowSystem::SetBusyReason(const std::u16string& reason) {
  if (shutdown_block_ != nullptr) shutdown_block_->SetCause(reason);
}

void Win32WindowSystem::OnCommand(int id, int code) {
  if (form_ == nullptr) return;
  const auto control = static_cast<Control>(id - kFirstControlId);
  if (control == Control::ListDir && code == LBN_SELCHANGE) {
    RunHandler([this] { form_->ListDir_Click(); });
    return;
  }
  if (code != BN_CLICKED || !IsButton(control)) return;
  RunHandler([this, control] { RaiseClick(*form_, control); });
}

// The title bar's close box: the same unload steps as CmdClose.
void Win32WindowSystem::OnClose() {
  if (form_ == nullptr) return;
  RunHandler([this] { Unload(); });
}

// The messages the handler's work held up: painting, moving the window, the
// system's are-you-alive probes. The user's input to the controls is
// dropped: a click must neither press a button nor change the list's
// selection under the running handler (and the close box is refused by
// RunHandler).
void Win32WindowSystem::DoEvents() {
  MSG message;
  while (!ending_ && window_ != 0 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns it
      return;
    }
    if (IsInputToControl(message, Hwnd(window_))) continue;
    if (IsDialogMessageW(Hwnd(window_), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32WindowSystem::SetCaption(Control control, const std::u16string& caption) {
  if (!IsButton(control)) throw PropertyNotSupported();
  const HWND button = Hwnd(ControlWindow(control));
  SetWindowTextW(button, Wide(caption));
  UpdateWindow(button);  // the handler that sets it blocks the message loop
}

void Win32WindowSystem::SetLeft(Control control, int twips) {
  const HWND widget = Hwnd(ControlWindow(control));
  RECT bounds{};
  GetWindowRect(widget, &bounds);
  MapWindowPoints(nullptr, Hwnd(window_), reinterpret_cast<POINT*>(&bounds), 2);
  SetWindowPos(widget, nullptr, Pixels(twips, true), bounds.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowSystem::SetVisible(Control control, bool visible) {
  const HWND widget = Hwnd(ControlWindow(control));
  ShowWindow(widget, visible ? SW_SHOW : SW_HIDE);
  UpdateWindow(Hwnd(window_));  // paint now: the handler blocks the loop
}

void Win32WindowSystem::AddItem(const std::u16string& text) {
  if (ListCount() >= kMaxListEntries) throw vb_error::Raise(vb_error::kOutOfMemory);
  SendMessageW(Hwnd(ListBox()), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
}

void Win32WindowSystem::RemoveItem(int16_t index) {
  if (index < 0 || index >= ListCount()) throw vb_error::Raise(vb_error::kInvalidProcedureCall);
  SendMessageW(Hwnd(ListBox()), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int16_t Win32WindowSystem::ListCount() {
  return static_cast<int16_t>(SendMessageW(Hwnd(ListBox()), LB_GETCOUNT, 0, 0));
}

int16_t Win32WindowSystem::ListIndex() {
  const LRESULT selected = SendMessageW(Hwnd(ListBox()), LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? int16_t{-1} : static_cast<int16_t>(selected);
}

std::u16string Win32WindowSystem::List(int16_t index) {
  if (index == -1) return {};
  if (index < -1 || index >= ListCount()) throw InvalidPropertyArrayIndex();
  const HWND list = Hwnd(ListBox());
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return FromWide(text.data(), static_cast<size_t>(length));
}

void Win32WindowSystem::SetProgressValue(float value) {
  if (!(value >= 0 && value <= 100)) throw InvalidPropertyValue();
  const HWND bar = Hwnd(ControlWindow(Control::ProgressBar1));
  progress_value_ = value;
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(std::lround(value)), 0);
  UpdateWindow(bar);  // the handler that sets it blocks the message loop
}

}  // namespace brevak::win32
