#include "core/mod_copy.h"

namespace brevak {

int32_t SHFileOperation(Platform& platform, SHFILEOPSTRUCT& request, int32_t* last_error) {
  ShFileOpStruct op;
  op.hwnd = static_cast<uintptr_t>(static_cast<uint32_t>(request.hwnd));
  op.wFunc = static_cast<uint32_t>(request.wFunc);
  op.pFrom = platform.code_page->ToAnsi(request.pFrom);
  op.pTo = platform.code_page->ToAnsi(request.pTo);
  op.fFlags = static_cast<uint16_t>(request.fFlags & 0xFFFF);
  op.fAnyOperationsAborted = 0;
  op.hNameMappings = static_cast<uintptr_t>(static_cast<uint32_t>(request.hNameMappings));
  op.lpszProgressTitle = platform.code_page->ToAnsi(request.lpszProgressTitle);
  const int32_t result = platform.shell_copy->SHFileOperationA(&op);
  *last_error = platform.shell_copy->GetLastError();
  request.fAnyOperationsAborted = op.fAnyOperationsAborted;
  return result;
}

std::u16string SourceList(std::initializer_list<std::u16string> patterns) {
  std::u16string list;
  for (const std::u16string& pattern : patterns) {
    list += pattern;
    list += u'\0';
  }
  list += u'\0';
  return list;
}

}  // namespace brevak
