// The page users open has no frame hook: a frame is shown and nothing else happens.
#include "platform/win32_standin/web/web.h"

void WebFrameShown(void) {}
