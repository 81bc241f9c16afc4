// The key table of the Win32 stand-in: SDL key symbols (keysym.sym, which follows the keyboard
// layout as virtual-key codes do) to Windows virtual-key codes, and back for the test driver.
//   [x] letters, top-row digits, Escape, Return, Space, Tab, Backspace, F1-F12, arrows,
//       Page Up/Down, Home/End, Insert/Delete, Shift/Ctrl/Alt (left and right alike, as wParam has
//       it)
//   [ ] numeric keypad, punctuation, OEM keys: unknown keys produce no message
#include <SDL.h>

#include "platform/win32_standin/internal.h"

namespace {

// Virtual-key codes the header does not name (Windows values).
enum {
    VkBack = 0x08,
    VkTab = 0x09,
    VkShift = 0x10,
    VkControl = 0x11,
    VkEnd = 0x23,
    VkHome = 0x24,
    VkInsert = 0x2D,
    VkDelete = 0x2E
};

struct SdlKeyPair {
    int sym;  // SDLK_...
    int vk;   // VK_...
};

// The one table. Letters and digits are added by FillKeyIndex; the first pair for a code wins the
// way back (left Shift, not right).
const SdlKeyPair KeyPairs[] = {
    {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_RETURN, VK_RETURN}, {SDLK_SPACE, VK_SPACE},
    {SDLK_TAB, VkTab},        {SDLK_BACKSPACE, VkBack}, {SDLK_F1, VK_F1},
    {SDLK_F2, VK_F1 + 1},     {SDLK_F3, VK_F3},         {SDLK_F4, VK_F1 + 3},
    {SDLK_F5, VK_F1 + 4},     {SDLK_F6, VK_F1 + 5},     {SDLK_F7, VK_F1 + 6},
    {SDLK_F8, VK_F1 + 7},     {SDLK_F9, VK_F1 + 8},     {SDLK_F10, VK_F10},
    {SDLK_F11, VK_F1 + 10},   {SDLK_F12, VK_F12},       {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},         {SDLK_RIGHT, VK_RIGHT},   {SDLK_DOWN, VK_DOWN},
    {SDLK_PAGEUP, VK_PRIOR},  {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_HOME, VkHome},
    {SDLK_END, VkEnd},        {SDLK_INSERT, VkInsert},  {SDLK_DELETE, VkDelete},
    {SDLK_LSHIFT, VkShift},   {SDLK_RSHIFT, VkShift},   {SDLK_LCTRL, VkControl},
    {SDLK_RCTRL, VkControl},  {SDLK_LALT, VK_MENU},     {SDLK_RALT, VK_MENU},
};

// Character symbols are their own values (0..127); other keys are scan code | SDLK_SCANCODE_MASK
// with scan codes below 256. The index folds both into one range.
enum { SymCharCount = 128, SymScanCount = 256, SymIndexCount = SymCharCount + SymScanCount };

unsigned char symToVk[SymIndexCount];
int vkToSym[256];
int keyIndexFilled;

// Index of a symbol in symToVk, or -1 outside the table's range.
int SymIndex(int sym) {
    if (sym >= 0 && sym < SymCharCount) {
        return sym;
    }
    if ((sym & SDLK_SCANCODE_MASK) == 0) {
        return -1;  // a character beyond ASCII (layout-specific keys)
    }
    const int scan = sym & ~SDLK_SCANCODE_MASK;
    if (scan < 0 || scan >= SymScanCount) {
        return -1;
    }
    return SymCharCount + scan;
}

void AddPair(int sym, int vk) {
    const int index = SymIndex(sym);
    if (index < 0 || vk <= 0 || vk > 255) {
        return;
    }
    symToVk[index] = (unsigned char)vk;
    if (vkToSym[vk] == 0) {
        vkToSym[vk] = sym;
    }
}

void FillKeyIndex(void) {
    if (keyIndexFilled) {
        return;
    }
    for (int i = 0; i < 26; i++) {
        AddPair('a' + i, 'A' + i);  // VK letters are the upper-case ASCII codes
    }
    for (int i = 0; i < 10; i++) {
        AddPair('0' + i, '0' + i);
    }
    for (const SdlKeyPair& pair : KeyPairs) {
        AddPair(pair.sym, pair.vk);
    }
    keyIndexFilled = 1;
}

}  // namespace

int SdlKeyToVk(int sym) {
    FillKeyIndex();
    const int index = SymIndex(sym);
    return index < 0 ? 0 : symToVk[index];
}

int SdlVkToKey(int vk) {
    FillKeyIndex();
    if (vk <= 0 || vk > 255) {
        return SDLK_UNKNOWN;
    }
    return vkToSym[vk];
}
