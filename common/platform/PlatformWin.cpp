#include "Platform.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

namespace tvd::platform {

const char kNativeSeparator = '\\';

namespace {

std::wstring toWide(const std::string &text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string toUtf8(const wchar_t *text, int length)
{
    if (length <= 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace

std::string executablePath()
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    return toUtf8(buffer, static_cast<int>(n));
}

ProcessWalk walkProcesses(const std::function<void(const char *)> &visit)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ProcessWalk::SnapshotFailed;

    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!Process32FirstW(snapshot, &entry)) {
        CloseHandle(snapshot);
        return ProcessWalk::FirstFailed;
    }
    do {
        // Names are compared on the low byte of each UTF-16 unit.
        char name[MAX_PATH + 1] = {};
        for (int i = 0; i < MAX_PATH; ++i)
            name[i] = static_cast<char>(entry.szExeFile[i] & 0xFF);
        visit(name);
    } while (Process32NextW(snapshot, &entry));
    CloseHandle(snapshot);
    return ProcessWalk::Done;
}

std::intptr_t shellOpen(const std::string &file, const std::string &workingDir)
{
    const std::wstring wideFile = toWide(file);
    const std::wstring wideDir = toWide(workingDir);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", wideFile.c_str(), nullptr, wideDir.c_str(), SW_SHOW);
    return reinterpret_cast<std::intptr_t>(result);
}

std::FILE *openCommandPipe(const char *command)
{
    return _popen(command, "r");
}

int closeCommandPipe(std::FILE *pipe)
{
    return _pclose(pipe);
}

std::FILE *createTextFile(const char *path)
{
    return std::fopen(path, "wt");
}

} // namespace tvd::platform
