#include "app/CLauncherApp.h"

CLauncherApp theApp;
