// The key table of the Win32 stand-in: SDL key symbols to virtual-key codes and back.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/win32_standin/internal.h"

namespace {

TEST(KeyTable, LettersFollowTheSymbolAsVkCodesFollowTheLayout) {
    for (int i = 0; i < 26; i++) {
        EXPECT_EQ(SdlKeyToVk('a' + i), 'A' + i) << (char)('a' + i);
    }
    EXPECT_EQ(SdlKeyToVk('y'), 0x59);  // German Y and X steer the wind: by symbol, not position
    EXPECT_EQ(SdlKeyToVk('x'), 0x58);
    EXPECT_EQ(SdlKeyToVk('A'), 0);  // SDL never reports upper-case symbols
    for (int i = 0; i < 10; i++) {
        EXPECT_EQ(SdlKeyToVk('0' + i), '0' + i);
    }
}

TEST(KeyTable, FunctionNavigationAndControlKeys) {
    const int functionKeys[12] = {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4,  SDLK_F5,  SDLK_F6,
                                  SDLK_F7, SDLK_F8, SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12};
    for (int i = 0; i < 12; i++) {
        EXPECT_EQ(SdlKeyToVk(functionKeys[i]), VK_F1 + i) << "F" << i + 1;
    }
    EXPECT_EQ(SdlKeyToVk(SDLK_F3), VK_F3);
    EXPECT_EQ(SdlKeyToVk(SDLK_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(SdlKeyToVk(SDLK_RETURN), VK_RETURN);
    EXPECT_EQ(SdlKeyToVk(SDLK_SPACE), VK_SPACE);
    EXPECT_EQ(SdlKeyToVk(SDLK_LEFT), VK_LEFT);
    EXPECT_EQ(SdlKeyToVk(SDLK_UP), VK_UP);
    EXPECT_EQ(SdlKeyToVk(SDLK_RIGHT), VK_RIGHT);
    EXPECT_EQ(SdlKeyToVk(SDLK_DOWN), VK_DOWN);
    EXPECT_EQ(SdlKeyToVk(SDLK_PAGEUP), VK_PRIOR);
    EXPECT_EQ(SdlKeyToVk(SDLK_PAGEDOWN), VK_NEXT);
    EXPECT_EQ(SdlKeyToVk(SDLK_HOME), 0x24);
    EXPECT_EQ(SdlKeyToVk(SDLK_END), 0x23);
    EXPECT_EQ(SdlKeyToVk(SDLK_INSERT), 0x2D);
    EXPECT_EQ(SdlKeyToVk(SDLK_DELETE), 0x2E);
    EXPECT_EQ(SdlKeyToVk(SDLK_TAB), 0x09);
    EXPECT_EQ(SdlKeyToVk(SDLK_BACKSPACE), 0x08);
    EXPECT_EQ(SdlKeyToVk(SDLK_LSHIFT), 0x10);
    EXPECT_EQ(SdlKeyToVk(SDLK_RSHIFT), 0x10);
    EXPECT_EQ(SdlKeyToVk(SDLK_RCTRL), 0x11);
    EXPECT_EQ(SdlKeyToVk(SDLK_LALT), VK_MENU);
}

TEST(KeyTable, UnknownAndOutOfRangeSymbolsGiveNothing) {
    EXPECT_EQ(SdlKeyToVk(SDLK_UNKNOWN), 0);
    EXPECT_EQ(SdlKeyToVk(SDLK_CAPSLOCK), 0);
    EXPECT_EQ(SdlKeyToVk(SDLK_KP_1), 0);
    EXPECT_EQ(SdlKeyToVk(','), 0);
    EXPECT_EQ(SdlKeyToVk(0xE4), 0);  // a layout's own letter (German a umlaut)
    EXPECT_EQ(SdlKeyToVk(-1), 0);
    EXPECT_EQ(SdlKeyToVk(0x7FFFFFFF), 0);
    EXPECT_EQ(SdlKeyToVk(SDLK_SCANCODE_MASK | 300), 0);  // beyond the scan-code range
    EXPECT_EQ(SdlKeyToVk((int)(SDLK_SCANCODE_MASK | 0x80000000u)), 0);
}

TEST(KeyTable, VkCodesMapBackToSymbolsThatMapForward) {
    EXPECT_EQ(SdlVkToKey(VK_F3), SDLK_F3);
    EXPECT_EQ(SdlVkToKey('W'), 'w');
    EXPECT_EQ(SdlVkToKey(0x10), SDLK_LSHIFT);
    EXPECT_EQ(SdlVkToKey(0), SDLK_UNKNOWN);
    EXPECT_EQ(SdlVkToKey(-5), SDLK_UNKNOWN);
    EXPECT_EQ(SdlVkToKey(256), SDLK_UNKNOWN);
    EXPECT_EQ(SdlVkToKey(0xBA), SDLK_UNKNOWN);  // an OEM key the table does not know
    int known = 0;
    for (int vk = 1; vk < 256; vk++) {
        const int sym = SdlVkToKey(vk);
        if (sym != SDLK_UNKNOWN) {
            EXPECT_EQ(SdlKeyToVk(sym), vk) << vk;
            known++;
        }
    }
    EXPECT_EQ(known, 26 + 10 + 12 + 4 + 2 + 4 + 3 + 2 + 3);
}

}  // namespace
