// Stand-in for the Windows "driverquery" command: lists the USB-serial drivers
// that the Linux kernel has loaded, in the Windows command's table layout.
// Usage: driverquery [DRIVERS_FOLDER]   (default /sys/bus/usb-serial/drivers)

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

std::string displayNameOf(const std::string &module)
{
    // The name Windows gives the PL2303 driver names its maker, "Serial" and "Port".
    if (module == "pl2303")
        return "Prolific Serial Port";
    return "USB Serial " + module;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : "/sys/bus/usb-serial/drivers";

    std::vector<std::string> modules;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(folder, error))
        modules.push_back(entry.path().filename().string());
    std::sort(modules.begin(), modules.end());

    std::printf("\n");
    std::printf("Module Name  Display Name           Driver Type   Link Date\n");
    std::printf("============ ====================== ============= ======================\n");
    for (const std::string &module : modules)
        std::printf("%-12.12s %-22.22s %-13.13s \n", module.c_str(), displayNameOf(module).c_str(), "Kernel");
    return 0;
}
