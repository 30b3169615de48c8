#include "Platform.h"

namespace tvd::platform {

std::string programFolderOf(const std::string &executablePath, char separator)
{
    const std::string::size_type last = executablePath.rfind(separator);
    if (last == std::string::npos || last == 0)
        return {};
    return executablePath.substr(0, last + 1);
}

std::string programFolder()
{
    return programFolderOf(executablePath());
}

} // namespace tvd::platform
