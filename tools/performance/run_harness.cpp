// The performance tools' run of the program (run_harness.h).
#include "tools/performance/run_harness.h"

#include <unistd.h>

#include <cstring>

#include "app/shell.h"
#include "platform/win32_standin/driver.h"

int HarnessEnterProgramDir(char* path, char* dir, const int size) {
    const ssize_t n = readlink("/proc/self/exe", path, (size_t)size - 1);
    if (n <= 0) {
        return 0;
    }
    path[n] = '\0';
    std::strcpy(dir, path);
    char* slash = std::strrchr(dir, '/');
    if (slash) {
        *slash = '\0';
    }
    return chdir(dir) == 0;
}

void HarnessPrepare(const int lastFrame, void (*hook)(int frame, void* user)) {
    DriverInstall();
    DriverAnswerBox(IDNO);
    DriverOfferDisplayMode(800, 600);
    DriverStopAfter(lastFrame);
    DriverSetSwapHook(hook, nullptr);
}

int HarnessRun(void) {
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    DriverUninstall();
    return code;
}
