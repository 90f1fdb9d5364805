// A small Windows program that the Windows tests start in the place of others.
//
// Named Flashlink.exe it stands in for the device's updater: it writes Flashlink.ran beside
// itself with the number of its arguments, its working folder and the Flashlink.xml it finds
// beside itself (or "missing"), after waiting the milliseconds that Flashlink.wait beside it
// holds (none without that file).
//
// Under any other name, "windows_helper hold FILE" plays a program that keeps a file open, as a
// viewer or a spreadsheet program does: it opens the file for reading, lets others read it but
// not write, rename or delete it, prints "held" and keeps it open until its standard input ends.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring Own_Folder() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring Own_Name() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(towlower(c));
    return name;
}

std::string Read_File(const std::wstring& path, bool& found) {
    found = false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    found = true;
    std::string data;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        data.append(buffer, got);
    CloseHandle(file);
    return data;
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

int Stand_In_Updater(int argument_count) {
    const std::wstring folder = Own_Folder();
    bool found = false;
    const std::string wait = Read_File(folder + L"\\Flashlink.wait", found);
    if (found)
        Sleep(static_cast<DWORD>(std::stoul(wait)));
    wchar_t cwd[MAX_PATH * 4];
    const DWORD cwd_length = GetCurrentDirectoryW(MAX_PATH * 4, cwd);
    const std::string xml = Read_File(folder + L"\\Flashlink.xml", found);
    const std::string record = "arguments " + std::to_string(argument_count) + "\ncwd " +
                               Utf8(std::wstring(cwd, cwd_length)) + "\n" +
                               (found ? xml : std::string("missing"));
    HANDLE out = CreateFileW((folder + L"\\Flashlink.ran").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    WriteFile(out, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(out);
    return 0;
}

int Hold(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot open: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    CloseHandle(file);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (Own_Name() == L"flashlink.exe")
        return Stand_In_Updater(argc - 1);
    if (argc == 3 && std::wcscmp(argv[1], L"hold") == 0)
        return Hold(argv[2]);
    std::fprintf(stderr, "usage: windows_helper hold FILE (or named Flashlink.exe)\n");
    return 2;
}
