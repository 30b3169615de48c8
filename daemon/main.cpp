// tvdmon: the resident daemon beside the manager TVDMAN.exe. It watches the
// event files of the data folder, keeps a tray icon and serves the requests
// for certificates of conformity.

#include "Application.h"
#include "tvdmonStartup.h"

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    return tvdmonStartup(app).run();
}
