// Probe of the Windows side of the platform layer, run under Wine by the
// tests: calls it as the Qt programs do and prints the results.
//   tvdprobe folder           the program folder
//   tvdprobe count NAME       the running processes named NAME
//   tvdprobe open FILE DIR    the result of the shell start of FILE in DIR
//   tvdprobe wait             prints "ready", then runs until its input ends
//   tvdprobe                  as the shell starts it: writes its working
//                             directory to the file "started" there

#include "Platform.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// As processList counts: exact byte comparison, 0 when the walk failed.
int countProcesses(const char *name)
{
    int count = 0;
    const auto walk = tvd::platform::walkProcesses([&count, name](const char *exeFileName) {
        if (std::strcmp(exeFileName, name) == 0)
            ++count;
    });
    return walk == tvd::platform::ProcessWalk::Done ? count : 0;
}

int noteWorkingDirectory()
{
    char dir[MAX_PATH];
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, dir);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    // Written under another name first, so that the file is whole once it is there.
    std::FILE *file = std::fopen("started.tmp", "wb");
    if (!file)
        return 1;
    const bool written = std::fputs(dir, file) >= 0;
    if (std::fclose(file) != 0 || !written)
        return 1;
    return MoveFileA("started.tmp", "started") ? 0 : 1;
}

int waitForEndOfInput()
{
    std::printf("ready\n");
    std::fflush(stdout);
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 1)
        return noteWorkingDirectory();
    const std::string command = argv[1];
    if (command == "folder" && argc == 2)
        std::printf("%s\n", tvd::platform::programFolder().c_str());
    else if (command == "count" && argc == 3)
        std::printf("%d\n", countProcesses(argv[2]));
    else if (command == "open" && argc == 4)
        std::printf("%lld\n", static_cast<long long>(tvd::platform::shellOpen(argv[2], argv[3])));
    else if (command == "wait" && argc == 2)
        return waitForEndOfInput();
    else
        return 2;
    return 0;
}
