#include "MenuWindow.h"

#include <atomic>

namespace WEXA {

namespace {
std::atomic<long> g_liveMenus{0};
}

long MenuLifetime::LiveMenus()
{
    return g_liveMenus.load();
}

void MenuLifetime::CountMenu(int delta)
{
    g_liveMenus += delta;
}

}  // namespace WEXA
