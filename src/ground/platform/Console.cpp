#include "platform/Console.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
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
            SetConsoleOutputCP(CP_UTF8);
            return;
        }
    }
#endif
}
