/* Stands in for the system's icacls.exe in the install check: Wine's own does nothing and
   always succeeds. It appends its command line to C:\icacls.log and exits with 5 (access
   denied) while C:\icacls.fail exists, else with 0. */
#include <windows.h>
#include <stdio.h>

int wmain(void)
{
    FILE* log = _wfopen(L"C:\\icacls.log", L"a, ccs=UTF-8");
    if (log) {
        fwprintf(log, L"%ls\n", GetCommandLineW());
        fclose(log);
    }
    return GetFileAttributesW(L"C:\\icacls.fail") == INVALID_FILE_ATTRIBUTES ? 0 : 5;
}
