// The launcher's entry point. The Windows program declares itself DPI-aware in its manifest and
// draws its bitmaps 1:1; here the window and page scale are pinned at 1 before GTK starts.
#include <cstdlib>

#include "app/CLauncherApp.h"

int main(int argc, char** argv)
{
    setenv("GDK_SCALE", "1", 1);
    setenv("GDK_DPI_SCALE", "1", 1);
    return AfxWinMain(theApp, argc, argv);
}
