#include "Platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tvd::platform {

const char kNativeSeparator = '/';

namespace {

// The kernel cuts the name ("comm") of a user process to this many bytes;
// kernel threads may show longer names, which are whole.
constexpr std::size_t kCommLength = 15;

std::string baseName(const std::string &path)
{
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Reads at most size bytes of a file below /proc; -1 when it cannot be read.
ssize_t readProcFile(int procFd, const std::string &relativePath, char *buffer, std::size_t size)
{
    const int fd = openat(procFd, relativePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const ssize_t n = read(fd, buffer, size);
    close(fd);
    return n;
}

// The name a user sees for a running process: its "comm", which for a script
// is the script's file name. A comm of 15 bytes may be cut, so the full name
// is then taken from the executable or from the first arguments
// (interpreter, its option, script) when one of them begins with the comm.
// A process that has ended but is not reaped yet runs no more: it has none.
bool processName(int procFd, const char *pid, std::string &name)
{
    const std::string dir = std::string(pid) + '/';
    // "pid (comm) state ...": the comm may itself hold ") ".
    char stat[128];
    const ssize_t n = readProcFile(procFd, dir + "stat", stat, sizeof stat - 1);
    if (n <= 0)
        return false;
    stat[n] = '\0';
    const char *open = std::strchr(stat, '(');
    const char *close = std::strrchr(stat, ')');
    if (!open || !close || close < open || close[1] != ' ')
        return false;
    const char state = close[2];
    if (state == 'Z' || state == 'X' || state == 'x')
        return false;
    name.assign(open + 1, close);
    if (name.size() != kCommLength)
        return true;

    char target[PATH_MAX];
    const ssize_t len = readlinkat(procFd, (dir + "exe").c_str(), target, sizeof target);
    if (len > 0) {
        std::string exe = baseName(std::string(target, len));
        static const std::string deleted = " (deleted)";
        if (exe.size() > deleted.size() && exe.compare(exe.size() - deleted.size(), deleted.size(), deleted) == 0)
            exe.resize(exe.size() - deleted.size());
        if (startsWith(exe, name)) {
            name = exe;
            return true;
        }
    }

    char cmdline[4096];
    const ssize_t size = readProcFile(procFd, dir + "cmdline", cmdline, sizeof cmdline);
    for (ssize_t pos = 0, arg = 0; size > 0 && pos < size && arg < 3; ++arg) {
        const std::string argument(cmdline + pos, strnlen(cmdline + pos, size - pos));
        const std::string base = baseName(argument);
        if (startsWith(base, name)) {
            name = base;
            return true;
        }
        pos += argument.size() + 1;
    }
    return true;
}

bool isProcessId(const char *name)
{
    if (*name == '\0')
        return false;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9')
            return false;
    }
    return true;
}

std::intptr_t shellErrorOf(int error, bool inWorkingDir)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return inWorkingDir ? 3 : 2;
    case EACCES:
    case EPERM:
        return 5;
    case ENOMEM:
    case EAGAIN:
        return 8;
    default:
        return 0;
    }
}

struct StartFailure {
    int inWorkingDir;
    int error;
};

[[noreturn]] void reportAndExit(int fd, int inWorkingDir, int error)
{
    const StartFailure failure{inWorkingDir, error};
    [[maybe_unused]] const ssize_t n = write(fd, &failure, sizeof failure);
    _exit(127);
}

// The text mode of Windows, over a file opened in binary mode.
ssize_t writeCrLf(void *file, const char *data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && std::fputc('\r', static_cast<std::FILE *>(file)) == EOF)
            return -1;
        if (std::fputc(data[i], static_cast<std::FILE *>(file)) == EOF)
            return -1;
    }
    return static_cast<ssize_t>(size);
}

int closeCrLf(void *file)
{
    return std::fclose(static_cast<std::FILE *>(file));
}

} // namespace

std::string executablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer)
        return {};
    return std::string(buffer, n);
}

ProcessWalk walkProcesses(const std::function<void(const char *)> &visit)
{
    DIR *proc = opendir("/proc");
    if (!proc)
        return ProcessWalk::SnapshotFailed;
    const int procFd = dirfd(proc);
    bool seen = false;
    std::string name;
    while (const dirent *entry = readdir(proc)) {
        // A process that ends during the walk, or that may not be inspected,
        // is simply not there.
        if (!isProcessId(entry->d_name) || !processName(procFd, entry->d_name, name))
            continue;
        seen = true;
        visit(name.c_str());
    }
    closedir(proc);
    return seen ? ProcessWalk::Done : ProcessWalk::FirstFailed;
}

std::intptr_t shellOpen(const std::string &file, const std::string &workingDir)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return shellErrorOf(errno, false);

    char *const argv[] = {const_cast<char *>(file.c_str()), nullptr};
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(fds[0]);
        close(fds[1]);
        return shellErrorOf(error, false);
    }
    if (child == 0) {
        // The grandchild is adopted by init, so nobody has to reap it.
        const pid_t grandChild = fork();
        if (grandChild < 0)
            reportAndExit(fds[1], 0, errno);
        if (grandChild > 0)
            _exit(0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        setsid();
        // Like a program the Windows shell starts, it has no console of its
        // caller: it must outlive the caller's standard streams.
        const int nothing = open("/dev/null", O_RDWR);
        for (int stream = 0; nothing >= 0 && stream <= 2; ++stream)
            dup2(nothing, stream);
        if (chdir(workingDir.c_str()) != 0)
            reportAndExit(fds[1], 1, errno);
        execv(file.c_str(), argv);
        reportAndExit(fds[1], 0, errno);
    }

    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    StartFailure failure{};
    ssize_t n;
    while ((n = read(fds[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
    }
    close(fds[0]);
    if (n == static_cast<ssize_t>(sizeof failure))
        return shellErrorOf(failure.error, failure.inWorkingDir != 0);
    return 42;
}

std::FILE *openCommandPipe(const char *command)
{
    const std::string folder = programFolder();
    if (!folder.empty()) {
        const char *path = std::getenv("PATH");
        const std::string searchPath = folder + ':' + (path ? path : "/usr/local/bin:/usr/bin:/bin");
        setenv("PATH", searchPath.c_str(), 1);
    }
    return popen(command, "r");
}

int closeCommandPipe(std::FILE *pipe)
{
    return pclose(pipe);
}

std::FILE *createTextFile(const char *path)
{
    std::FILE *file = std::fopen(path, "wb");
    if (!file)
        return nullptr;
    static const cookie_io_functions_t crLfFile{nullptr, writeCrLf, nullptr, closeCrLf};
    std::FILE *text = fopencookie(file, "w", crLfFile);
    if (!text)
        std::fclose(file);
    return text;
}

} // namespace tvd::platform
