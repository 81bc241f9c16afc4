// winshot: the Windows counterpart of shot, for the real Win32 where the stand-in's test
// driver does not exist. It runs the program's WinMain in-process and steers it from outside the
// program: a CBT hook answers the message boxes and subclasses the program's window as it is made;
// the subclass counts frames (one WM_PAINT each), posts scripted keys and closes the window after
// frame N, which a SwapBuffers hook has read from the back buffer; it is written as a binary PPM.
// Usage: winshot [--frame N] [--out FILE] [--key FRAME:VK[:up]]... [--yes] [--depth-bits N]
//   --frame N       the frame to capture (default 2: the first frame with waves)
//   --key F:VK      press virtual key VK (decimal or 0x..) before frame F; ":up" releases it
//   --yes           answer the start-up question with Yes instead of No
//   --depth-bits N  ask ChoosePixelFormat for an N-bit depth buffer instead of the program's 16
// Exit code 0 only when the frame was written, the program returned 0 and every message box was
// the start-up question.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell.h"
#include "platform/gl.h"
#include "tools/capture/frame_image.h"

namespace {

enum { MaxKeys = 64 };

typedef BOOL(WINAPI* SwapBuffersProc)(HDC dc);
typedef int(WINAPI* ChoosePixelFormatProc)(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);

// A scripted key: goes down (or up) before frame `frame`.
struct ScriptKey {
    int frame;
    int vk;
    int down;
};

// The run. Written by main and by the hooks, all on the program's one thread.
struct ShotRun {
    int frame;                // the frame to capture
    int answer;               // IDYES or IDNO for the start-up question
    ScriptKey keys[MaxKeys];  // in the order given
    int keyCount;
    HHOOK cbtHook;                                // answers boxes, finds the window
    HWND window;                                  // the program's current window (re-created by F1)
    WNDPROC programProc;                          // its window procedure, called by the subclass
    int depthBitsAsked;                           // --depth-bits; 0 = the program's own request
    SwapBuffersProc realSwapBuffers;              // gdi32's, called by ShotSwapBuffers
    ChoosePixelFormatProc realChoosePixelFormat;  // gdi32's, with --depth-bits only
    int framesDrawn;                              // WM_PAINTs handled, over every window
    int boxes;                                    // message boxes shown
    int unexpectedBoxes;                          // of those, anything but the start-up question
    GLint depthBits;                              // of the pixel format the frame was drawn with
    char renderer[160];                           // GL_RENDERER and GL_VERSION
    FrameImage image;                             // the captured frame
};

ShotRun Run;

// The program registers its window class under this name.
const char* const ProgramClass = "OpenGL";

// Reads the finished frame from the back buffer, as the program swaps.
void CaptureBack(void) {
    FrameImageReadBack(&Run.image);
    glGetIntegerv(GL_DEPTH_BITS, &Run.depthBits);
    std::snprintf(Run.renderer, sizeof Run.renderer, "%s, OpenGL %s",
                  (const char*)glGetString(GL_RENDERER), (const char*)glGetString(GL_VERSION));
}

// Stands in for gdi32's SwapBuffers in this executable's import table: the frame being painted
// is read before it is presented (after the swap the back buffer is undefined, and the front
// buffer of a window is not readable everywhere, Wine's among them).
BOOL WINAPI ShotSwapBuffers(HDC dc) {
    if (Run.framesDrawn + 1 == Run.frame) {
        CaptureBack();
    }
    return Run.realSwapBuffers(dc);
}

// ChoosePixelFormat with the depth asked for by --depth-bits instead of the program's, so that
// a frame can be compared with one from a platform that gives another depth precision.
int WINAPI ShotChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    PIXELFORMATDESCRIPTOR pinned = *pfd;
    pinned.cDepthBits = (BYTE)Run.depthBitsAsked;
    return Run.realChoosePixelFormat(dc, &pinned);
}

// Points this executable's import of gdi32!`name` at `replacement` and returns what it pointed
// at, or null when the entry is not there. The program library is linked in statically, so its
// calls go through this table.
void* HookGdiImport(const char* name, void* replacement) {
    BYTE* base = (BYTE*)GetModuleHandleA(nullptr);
    const IMAGE_NT_HEADERS* nt =
        (const IMAGE_NT_HEADERS*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const IMAGE_IMPORT_DESCRIPTOR* dll =
        (const IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress);
    for (; dll->Name != 0; ++dll) {
        if (_stricmp((const char*)(base + dll->Name), "gdi32.dll") != 0) {
            continue;
        }
        const IMAGE_THUNK_DATA* entry = (const IMAGE_THUNK_DATA*)(base + dll->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slot = (IMAGE_THUNK_DATA*)(base + dll->FirstThunk);
        for (; entry->u1.AddressOfData != 0; ++entry, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(entry->u1.Ordinal)) {
                continue;
            }
            const IMAGE_IMPORT_BY_NAME* byName =
                (const IMAGE_IMPORT_BY_NAME*)(base + entry->u1.AddressOfData);
            if (std::strcmp((const char*)byName->Name, name) != 0) {
                continue;
            }
            DWORD protection = 0;
            if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE,
                                &protection)) {
                return nullptr;
            }
            void* const previous = (void*)slot->u1.Function;
            slot->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

// Posts the keys scripted for frame `frame`; they arrive before its WM_PAINT, since posted
// messages come before paints. The lParam follows WM_KEYDOWN/WM_KEYUP: repeat count 1, and for
// a release the previous-state and transition bits.
void PostKeysFor(HWND window, int frame) {
    for (int i = 0; i < Run.keyCount; ++i) {
        if (Run.keys[i].frame != frame) {
            continue;
        }
        const LPARAM lParam = Run.keys[i].down ? 1 : (LPARAM)0xC0000001u;
        PostMessageA(window, Run.keys[i].down ? WM_KEYDOWN : WM_KEYUP, (WPARAM)Run.keys[i].vk,
                     lParam);
    }
}

// The subclass of the program's window: every WM_PAINT is one frame of the program.
LRESULT CALLBACK ShotWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(Run.programProc, window, message, wParam, lParam);
    if (message == WM_PAINT && window == Run.window) {
        Run.framesDrawn++;
        if (Run.framesDrawn == Run.frame) {
            PostMessageA(window, WM_CLOSE, 0, 0);
        } else {
            PostKeysFor(window, Run.framesDrawn + 1);
        }
    }
    return result;
}

// Answers a message box as it is activated: the start-up question with the scripted answer,
// anything else (an error the program reports) with OK, counted as unexpected.
void AnswerBox(HWND box) {
    char caption[128] = "";
    char text[256] = "";
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the static control holding the text
    Run.boxes++;
    const int question = std::strcmp(caption, "Vollbildschirm?") == 0;
    if (!question) {
        Run.unexpectedBoxes++;
    }
    std::fprintf(stderr, "winshot: message box \"%s\": \"%s\" answered %s\n", caption, text,
                 question ? (Run.answer == IDYES ? "Yes" : "No") : "OK");
    PostMessageA(box, WM_COMMAND, (WPARAM)(question ? Run.answer : IDOK), 0);
}

LRESULT CALLBACK ShotCbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE || code == HCBT_CREATEWND) {
        HWND window = (HWND)wParam;
        char className[64] = "";
        GetClassNameA(window, className, sizeof className);
        if (code == HCBT_ACTIVATE && std::strcmp(className, "#32770") == 0) {
            AnswerBox(window);
        } else if (code == HCBT_CREATEWND && std::strcmp(className, ProgramClass) == 0) {
            // Before WM_CREATE: the program's procedure sees every message through the subclass.
            Run.window = window;
            Run.programProc =
                (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)ShotWindowProc);
            PostKeysFor(window, Run.framesDrawn + 1);
        }
    }
    return CallNextHookEx(Run.cbtHook, code, wParam, lParam);
}

int Usage(void) {
    std::fprintf(stderr,
                 "usage: winshot [--frame N] [--out FILE] [--key FRAME:VK[:up]]... [--yes] "
                 "[--depth-bits N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = "limnora-shot.ppm";
    Run.frame = 2;
    Run.answer = IDNO;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frame") && i + 1 < argc) {
            Run.frame = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
            out = argv[++i];
        } else if (!std::strcmp(argv[i], "--depth-bits") && i + 1 < argc) {
            Run.depthBitsAsked = std::atoi(argv[++i]);
            if (Run.depthBitsAsked < 1 || Run.depthBitsAsked > 32) {
                return Usage();
            }
        } else if (!std::strcmp(argv[i], "--yes")) {
            Run.answer = IDYES;
        } else if (!std::strcmp(argv[i], "--key") && i + 1 < argc && Run.keyCount < MaxKeys) {
            char* rest = nullptr;
            ScriptKey* key = &Run.keys[Run.keyCount++];
            key->frame = (int)std::strtol(argv[++i], &rest, 10);
            if (*rest != ':' || key->frame < 1) {
                return Usage();
            }
            key->vk = (int)std::strtol(rest + 1, &rest, 0);
            key->down = std::strcmp(rest, ":up") == 0 ? 0 : 1;
            if (key->vk <= 0 || key->vk > 0xFE || (*rest != '\0' && key->down)) {
                return Usage();
            }
        } else {
            return Usage();
        }
    }
    if (Run.frame < 1) {
        return Usage();
    }

    Run.realSwapBuffers = (SwapBuffersProc)HookGdiImport("SwapBuffers", (void*)ShotSwapBuffers);
    if (!Run.realSwapBuffers) {
        std::fprintf(stderr, "winshot: SwapBuffers is not in the import table\n");
        return 1;
    }
    if (Run.depthBitsAsked > 0) {
        Run.realChoosePixelFormat =
            (ChoosePixelFormatProc)HookGdiImport("ChoosePixelFormat", (void*)ShotChoosePixelFormat);
        if (!Run.realChoosePixelFormat) {
            std::fprintf(stderr, "winshot: ChoosePixelFormat is not in the import table\n");
            return 1;
        }
    }
    Run.cbtHook = SetWindowsHookExA(WH_CBT, ShotCbtHook, nullptr, GetCurrentThreadId());
    if (!Run.cbtHook) {
        std::fprintf(stderr, "winshot: SetWindowsHookExA failed (%lu)\n", GetLastError());
        return 1;
    }
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    UnhookWindowsHookEx(Run.cbtHook);

    if (Run.image.rgb.empty()) {
        std::fprintf(stderr, "winshot: frame %d was never drawn (%d drawn, exit code %d)\n",
                     Run.frame, Run.framesDrawn, code);
        return 1;
    }
    char error[512];
    if (!FrameImageWritePpm(out, &Run.image, error, sizeof error)) {
        std::fprintf(stderr, "winshot: %s\n", error);
        return 1;
    }
    std::printf("winshot: frame %d (%dx%d, %d-bit depth, %s) written to %s; exit code %d\n",
                Run.frame, Run.image.width, Run.image.height, (int)Run.depthBits, Run.renderer, out,
                code);
    if (code != 0 || Run.unexpectedBoxes != 0) {
        std::fprintf(stderr, "winshot: the program failed (exit code %d, %d unexpected boxes)\n",
                     code, Run.unexpectedBoxes);
        return 1;
    }
    return 0;
}
