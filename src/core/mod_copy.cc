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

CopyOutcome RunCopy(Platform& platform, SHFILEOPSTRUCT& request) {
  CopyOutcome outcome;
  try {
    outcome.result = SHFileOperation(platform, request, &outcome.last_error);
  } catch (const RunTimeError& e) {
    outcome.not_made = e;
    return outcome;
  }
  outcome.aborted = request.fAnyOperationsAborted != 0;
  return outcome;
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

std::vector<std::u16string> PatternsOf(const std::u16string& source_list) {
  std::vector<std::u16string> patterns;
  size_t start = 0;
  for (size_t nul = source_list.find(u'\0'); nul != std::u16string::npos && nul > start;
       nul = source_list.find(u'\0', start)) {
    patterns.push_back(source_list.substr(start, nul - start));
    start = nul + 1;
  }
  return patterns;
}

}  // namespace brevak
