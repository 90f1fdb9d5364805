#include "platform/Console.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// The console's code page before the program switched it: the console is the user's window and
// outlives the program, so it gets its own back at the end.
UINT Code_Page_Before = 0;

void Restore_Code_Page() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (Code_Page_Before != 0)
        SetConsoleOutputCP(Code_Page_Before);
}

} // namespace
#endif

void Prepare_Console_Output() {
#ifdef Q_OS_WIN
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = GetStdHandle(which);
        if (handle != INVALID_HANDLE_VALUE && handle != nullptr &&
            GetFileType(handle) == FILE_TYPE_CHAR) {
            const UINT before = GetConsoleOutputCP();
            if (before != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
                Code_Page_Before = before;
                std::atexit(&Restore_Code_Page);
            }
            return;
        }
    }
#endif
}
