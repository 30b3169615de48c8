#pragma once

// The few operating-system services the programs need, behind one Qt-free
// interface: PlatformPosix.cpp implements it here, PlatformWin.cpp on Windows.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace tvd::platform {

// Separator of the paths this platform reports.
extern const char kNativeSeparator;

// Full path of the running executable (UTF-8), empty when unknown.
std::string executablePath();

// Folder of an executable path, ending with a separator: the text before the
// last separator plus that separator. Empty when the last separator is the
// first character or when there is none.
std::string programFolderOf(const std::string &executablePath, char separator = kNativeSeparator);

// programFolderOf(executablePath()).
std::string programFolder();

enum class ProcessWalk {
    Done,           // every process was visited
    SnapshotFailed, // the process table could not be read
    FirstFailed,    // the table was read but held no process
};

// Calls visit with the executable file name of every running process, as an
// 8-bit zero-terminated string compared byte for byte by the callers.
ProcessWalk walkProcesses(const std::function<void(const char *exeFileName)> &visit);

// Starts a program with no argument and workingDir as its working directory,
// without waiting for it. Like the Windows shell: a result above 32 means
// started; 32 or less is an error code (2 file not found, 3 path not found,
// 5 access denied, 8 out of memory, 0 any other failure).
// The program's standard streams lead nowhere.
std::intptr_t shellOpen(const std::string &file, const std::string &workingDir);

// Runs a command through the command processor and returns a pipe to read its
// standard output, or null. On Windows the command processor finds commands on
// its search path; elsewhere they are looked up in the program folder first,
// where the stand-ins of Windows commands live.
std::FILE *openCommandPipe(const char *command);
int closeCommandPipe(std::FILE *pipe);

// Creates or truncates a file for writing in text mode, or returns null: each
// "\n" written reaches the file as CR LF, the line end of Windows text files,
// on every platform. Closed with fclose.
std::FILE *createTextFile(const char *path);

} // namespace tvd::platform
