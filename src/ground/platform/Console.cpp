#include "platform/Console.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void Prepare_Console_Output() {
#ifdef Q_OS_WIN
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
