// The process entry on Linux: Windows starts the program in WinMain, here main() hands over to it.
#include "platform/win32.h"

int main(void) {
    return WinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
}
