// The browser side of the Win32 stand-in's session: message boxes as the page's own modal
// dialogs, the caption on the first line and the code page 1252 texts in UTF-8.
//   [x] MB_OK: alert(), IDOK; MB_YESNO and MB_OKCANCEL: confirm(), OK = Yes/OK, Cancel = No/Cancel
//   [ ] MB_YESNOCANCEL: confirm() has two buttons, so Cancel cannot be pressed
#include <emscripten/emscripten.h>

#include "platform/win32_standin/internal.h"

namespace {

EM_JS(int, WebConfirm, (const char* text), { return confirm(UTF8ToString(text)) ? 1 : 0; });

EM_JS(void, WebAlert, (const char* text), { alert(UTF8ToString(text)); });

}  // namespace

int BackendShowBox(HWND owner, const char* text, const char* caption, UINT type,
                   const SdlBoxStyle* style) {
    (void)owner;  // the page's dialogs are modal to the page
    static char utf8[4096];
    const int captionLength = SdlCp1252ToUtf8(caption, utf8, (int)sizeof utf8 - 2);
    utf8[captionLength] = '\n';
    utf8[captionLength + 1] = '\n';
    SdlCp1252ToUtf8(text, utf8 + captionLength + 2, (int)sizeof utf8 - captionLength - 2);
    if (style->count == 1) {
        WebAlert(utf8);
        return style->ids[0];
    }
    (void)type;
    return WebConfirm(utf8) ? style->ids[0] : style->ids[1];
}
