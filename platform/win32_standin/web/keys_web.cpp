// The key table of the browser backend: DOM keyCodes, which follow the keyboard layout as Windows
// virtual-key codes do and carry the same values for every key the layer knows.
//   [x] letters, top-row digits, Escape, Return, Space, Tab, Backspace, F1-F12, arrows,
//       Page Up/Down, Home/End, Insert/Delete, Shift/Ctrl/Alt
//   [ ] numeric keypad, punctuation, OEM keys: unknown keys produce no message
#include "platform/win32_standin/internal.h"
#include "platform/win32_standin/web/web.h"

namespace {

enum { KeyCodeCount = 256 };

// The keys the layer knows, as ranges of codes (DOM keyCode = VK code).
struct WebKeyRange {
    int first, last;
};

const WebKeyRange KnownKeys[] = {
    {0x08, 0x09},  // Backspace, Tab
    {0x0D, 0x0D},  // Return
    {0x10, 0x12},  // Shift, Ctrl, Alt
    {0x1B, 0x1B},  // Escape
    {0x20, 0x28},  // Space, Page Up/Down, End, Home, arrows
    {0x2D, 0x2E},  // Insert, Delete
    {0x30, 0x39},  // digits
    {0x41, 0x5A},  // letters
    {0x70, 0x7B},  // F1-F12
};

unsigned char keyToVk[KeyCodeCount];
int keyTableFilled;

void FillKeyTable(void) {
    for (const WebKeyRange& range : KnownKeys) {
        for (int code = range.first; code <= range.last; code++) {
            keyToVk[code] = (unsigned char)code;
        }
    }
    keyTableFilled = 1;
}

}  // namespace

int WebKeyToVk(unsigned long keyCode) {
    if (!keyTableFilled) {
        FillKeyTable();
    }
    return keyCode < KeyCodeCount ? keyToVk[keyCode] : 0;
}
