#!/usr/bin/env bash
# The import table of a Windows program of ours.
#
# Every DLL the program imports is loaded by Windows before the program runs,
# and one that Windows does not itself map from System32 is looked for in
# the program's own folder first: a version.dll planted in Downloads would
# run as administrator. So the import table names only the DLLs the program
# needs, each one that every Windows from XP SP3 to 11 loads from System32
# whatever lies beside the program: kernel32, user32, gdi32, advapi32,
# shell32, ole32 and oleaut32 are in the KnownDLLs key of each of them;
# msvcrt is in it from Vista on, and on XP it is an import of those known
# DLLs, which the session manager maps from System32 with them (the
# first-run checklist's Process Monitor step shows it). Every other system
# DLL (version.dll, comctl32.dll) is loaded by its full System32 path at run
# time. And no function may be one that Windows XP lacks.
#
#   imports.sh EXE NAME
source "$(dirname "$0")/../check_helper.sh"
exe=$1 name=$2

allowed_dlls='kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 msvcrt'
# Calls newer than XP that mingw's run-time libraries or a careless change
# bring in (the program's own sources see only XP's declarations).
newer_than_xp='GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive
  AcquireSRWLockShared ReleaseSRWLockExclusive ReleaseSRWLockShared
  TryAcquireSRWLockExclusive InitializeConditionVariable SleepConditionVariableCS
  SleepConditionVariableSRW WakeConditionVariable WakeAllConditionVariable
  InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete InitializeCriticalSectionEx
  CreateEventExW CreateMutexExW CreateSemaphoreExW GetFileInformationByHandleEx
  SetFileInformationByHandle GetFinalPathNameByHandleW CreateSymbolicLinkW CompareStringEx
  LCMapStringEx GetLocaleInfoEx GetUserDefaultLocaleName LocaleNameToLCID LCIDToLocaleName
  FlsAlloc FlsFree FlsGetValue FlsSetValue GetSystemTimePreciseAsFileTime
  SetDefaultDllDirectories AddDllDirectory GetErrorMode QueryFullProcessImageNameW
  GetThreadId CancelIoEx CreateFile2 RegGetValueW RegGetValueA RegDeleteTreeW
  SHGetKnownFolderPath SetProcessDPIAware ChangeWindowMessageFilter TaskDialogIndirect
  ShutdownBlockReasonCreate ShutdownBlockReasonDestroy ShutdownBlockReasonQuery'

[ -f "$exe" ] || fail "imports of $name: no file $exe"

# "dll function" a line, the DLL in lower case. objdump's headings are
# translated in other locales: it runs in C's.
imports=$(LC_ALL=C i686-w64-mingw32-objdump -p "$exe" | LC_ALL=C awk '
  /^\tDLL Name: / { dll = tolower($3); sub(/\.dll$/, "", dll); next }
  /^\t[0-9a-f]+\t *[0-9]+  [^ ]+$/ && dll != "" { print dll, $3 }')
[ -n "$imports" ] || fail "imports of $name: none read from $exe"

words() { tr -s ' \n' '\n\n' <<<"$1" | sed '/^$/d'; }
others=$(cut -d' ' -f1 <<<"$imports" | sort -u | grep -vxF -f <(words "$allowed_dlls") || true)
newer=$(cut -d' ' -f2 <<<"$imports" | sort -u | grep -xF -f <(words "$newer_than_xp") || true)
status=0
if [ -z "$others" ]; then
  echo "ok - imports of $name: only DLLs XP to 11 load from System32 ($(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' '))"
else
  echo "FAIL - imports of $name: DLLs outside the allowed ones: $(tr '\n' ' ' <<<"$others")"
  status=1
fi
if [ -z "$newer" ]; then
  echo "ok - imports of $name: no call newer than Windows XP ($(wc -l <<<"$imports") functions)"
else
  echo "FAIL - imports of $name: calls Windows XP lacks: $(tr '\n' ' ' <<<"$newer")"
  status=1
fi
exit $status
