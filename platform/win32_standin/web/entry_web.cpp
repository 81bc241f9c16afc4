// The process entry in the browser: main() hands over to WinMain, as on Linux, and tells the page
// when the program has ended so that it can say so and offer to start again.
#include <emscripten/emscripten.h>

#include "platform/win32.h"

EM_JS(void, WebProgramEnded, (int code), {
    if (Module.onProgramEnd) {
        Module.onProgramEnd(code);
    }
});

int main(void) {
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    WebProgramEnded(code);
    return code;
}
