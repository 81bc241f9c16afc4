// The real program under a real X server, driven from outside like a user: xdotool answers the
// start-up dialog with "No" and taps keys in the window; the X server shows what they did. No
// test driver is involved.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/program_run.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

enum { ShotWidth = 800, ShotHeight = 600 };  // the program's client area

std::string Command(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return out;
    }
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) {
        out += buffer;
    }
    pclose(pipe);
    return out;
}

// An X server of this test's own, made the DISPLAY of this process and its children (the program,
// xdotool) for the object's life. xdotool's keys and clicks go to whichever window has the focus or
// lies under the pointer when they arrive; on the display the other tests share they reached those
// tests' windows (an Escape ended their runs early), and those windows took the dialog's click.
class PrivateDisplay {
public:
    PrivateDisplay() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            return;
        }
        // Xvfb writes its display number to the descriptor it is given and a newline once ready.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char* argv[] = {(char*)"Xvfb",
                        (char*)"-displayfd",
                        (char*)"3",
                        (char*)"-screen",
                        (char*)"0",
                        (char*)"1024x768x24",
                        (char*)"-nolisten",
                        (char*)"tcp",
                        (char*)"+extension",
                        (char*)"GLX",
                        nullptr};
        const int spawned = posix_spawnp(&server, "Xvfb", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        if (spawned != 0) {
            server = 0;
            close(ends[0]);
            return;
        }
        std::string number;
        pollfd ready = {ends[0], POLLIN, 0};
        char c = 0;
        while (poll(&ready, 1, 10000) > 0 && read(ends[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(ends[0]);
        if (c == '\n' && !number.empty()) {
            name = ":" + number;
            const char* const current = getenv("DISPLAY");
            hadDisplay = current != nullptr;
            previous = hadDisplay ? current : "";
            setenv("DISPLAY", name.c_str(), 1);
        }
    }
    ~PrivateDisplay() {
        if (!name.empty()) {
            if (hadDisplay) {
                setenv("DISPLAY", previous.c_str(), 1);
            } else {
                unsetenv("DISPLAY");
            }
        }
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
    }
    std::string name;  // empty when the server did not start

private:
    pid_t server = 0;
    bool hadDisplay = false;
    std::string previous;
};

// A top-level window as xwininfo lists it: `0x400001 "name": ...  WIDTHxHEIGHT+X+Y ...`.
struct TopWindow {
    std::string id;
    int width = 0, height = 0;
};

// Finds a top-level window by its exact name; with `pid` above 0, only one that process owns
// (_NET_WM_PID), not the dialog's helper. xdotool's name search misses UTF-8 titles, so the list
// of the root's children is read instead.
bool FindWindow(const std::string& name, pid_t pid, TopWindow* found) {
    const std::string list = Command("xwininfo -root -children 2>/dev/null");
    const std::string owned =
        pid > 0 ? Command("xdotool search --pid " + std::to_string(pid) + " 2>/dev/null") : "";
    const std::string quoted = "\"" + name + "\"";
    for (size_t at = list.find(quoted); at != std::string::npos; at = list.find(quoted, at + 1)) {
        const size_t lineStart = list.rfind('\n', at) + 1;
        const size_t lineEnd = list.find('\n', at);
        const std::string line = list.substr(lineStart, lineEnd - lineStart);
        char id[32] = {0};
        if (sscanf(line.c_str(), " %31s", id) != 1) {
            continue;
        }
        // xdotool lists decimal ids, one a line.
        const std::string decimal = std::to_string(std::strtoul(id, nullptr, 16));
        if (pid > 0 && ("\n" + owned).find("\n" + decimal + "\n") == std::string::npos) {
            continue;
        }
        found->id = id;
        // After the name: `: ("instance" "class")  WIDTHxHEIGHT+X+Y  +X+Y`.
        size_t rest = line.find(':', line.find(quoted) + quoted.size());
        const size_t hint = line.find(')', rest);
        if (hint != std::string::npos) {
            rest = hint;
        }
        return sscanf(line.c_str() + rest + 1, " %dx%d", &found->width, &found->height) == 2;
    }
    return false;
}

bool WaitForWindow(const std::string& name, pid_t pid, TopWindow* found, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (FindWindow(name, pid, found) && found->width > 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// Waits for the child to end; returns its exit status or -1 when it had to be killed.
int WaitForExit(pid_t pid, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

// The client area of the program's window as the X server shows it: 800 x 600, top row first.
struct WindowShot {
    std::vector<unsigned char> rgb;  // 3 bytes a pixel
};

// A window that is gone or not yet mapped fails the read instead of ending the test program.
int IgnoreXError(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

bool ReadShot(const std::string& id, WindowShot* shot) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return false;
    }
    XSetErrorHandler(IgnoreXError);
    XImage* image = XGetImage(display, (Window)std::strtoul(id.c_str(), nullptr, 16), 0, 0,
                              ShotWidth, ShotHeight, AllPlanes, ZPixmap);
    if (image) {
        shot->rgb.resize(ShotWidth * ShotHeight * 3);
        for (int y = 0; y < ShotHeight; ++y) {
            for (int x = 0; x < ShotWidth; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                unsigned char* out = &shot->rgb[(y * ShotWidth + x) * 3];
                out[0] = (unsigned char)((pixel & image->red_mask) >> 16);
                out[1] = (unsigned char)((pixel & image->green_mask) >> 8);
                out[2] = (unsigned char)(pixel & image->blue_mask);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return image != nullptr;
}

// Pixels of exactly one colour inside a rectangle (x0 <= x < x1, y0 <= y < y1).
int CountColour(const WindowShot& shot, int x0, int y0, int x1, int y1, unsigned char r,
                unsigned char g, unsigned char b) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = &shot.rgb[(y * ShotWidth + x) * 3];
            count += p[0] == r && p[1] == g && p[2] == b;
        }
    }
    return count;
}

// The HUD's unlit yellow glyphs in the first line: a frame has been drawn.
bool HudDrawn(const WindowShot& shot) {
    return CountColour(shot, 0, 0, 300, 30, 255, 255, 0) > 50;
}

// "Wind (W): Vertex Shader" reaches further right than "Wind (W): OpenGL" (which ends by x 175).
bool VertexProgramShown(const WindowShot& shot) {
    return CountColour(shot, 180, 528, 240, 550, 255, 255, 0) > 20;
}

// Filled, the scene leaves about a tenth of the window black; drawn as outlines, about a third.
bool Wireframe(const WindowShot& shot) {
    return CountColour(shot, 0, 0, ShotWidth, ShotHeight, 0, 0, 0) > ShotWidth * ShotHeight / 5;
}

bool WaitForShot(const std::string& id, WindowShot* shot, bool (*shows)(const WindowShot&),
                 double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (ReadShot(id, shot) && shows(*shot)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// Plays the user against the running program: answers the start-up question with No, taps W and
// F3 once each and sees each switch flip once on the screen, then taps Escape once, which ends the
// program with code 0.
void PlayTheUser(const pid_t pid) {
    TopWindow dialog;
    ASSERT_TRUE(WaitForWindow("Vollbildschirm?", 0, &dialog, 30.0)) << "no start-up dialog";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // until it is drawn
    // The dialog's two buttons sit side by side, centred near its bottom edge, "No" on the right.
    // It is clicked again while no program window shows: a click that comes before the dialog
    // takes input is lost.
    const int x = dialog.width / 2 + 28;
    const int y = dialog.height - 28;
    TopWindow window;
    const auto answerBy = Clock::now() + std::chrono::seconds(30);
    bool answered = false;
    while (!answered && Clock::now() < answerBy) {
        Command("xdotool windowraise " + dialog.id + " mousemove --window " + dialog.id + " " +
                std::to_string(x) + " " + std::to_string(y) + " click 1 2>/dev/null");
        answered = WaitForWindow("Limnora", pid, &window, 3.0);
    }
    ASSERT_TRUE(answered) << "no program window after the answer";
    EXPECT_EQ(800, window.width);
    EXPECT_EQ(600, window.height);

    // Keys are tapped once each, as a quick hand does: down and up at once, mostly between two
    // frames. The window has the focus first; the screen shows what each tap did.
    Command("xdotool windowfocus --sync " + window.id + " 2>/dev/null");
    WindowShot shot;
    ASSERT_TRUE(WaitForShot(window.id, &shot, HudDrawn, 30.0)) << "no frame with the HUD";
    EXPECT_FALSE(VertexProgramShown(shot));
    EXPECT_FALSE(Wireframe(shot));
    const struct {
        const char* key;
        bool (*shows)(const WindowShot&);
    } taps[] = {{"w", VertexProgramShown}, {"F3", Wireframe}};
    for (const auto& tap : taps) {
        Command(std::string("xdotool key ") + tap.key + " 2>/dev/null");
        EXPECT_TRUE(WaitForShot(window.id, &shot, tap.shows, 20.0)) << tap.key << " not seen";
        // Once: a second flip would undo it.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_TRUE(ReadShot(window.id, &shot) && tap.shows(shot)) << tap.key << " twice";
    }
    Command("xdotool key Escape 2>/dev/null");
    EXPECT_EQ(0, WaitForExit(pid, 20.0)) << "one tap of Escape did not end the program";
}

TEST(RealDisplayTest, AUserAnswersNoThenQuitsWithEscape) {
    ASSERT_NE("", Command("command -v xdotool")) << "xdotool is installed by scripts/setup";
    const PrivateDisplay display;
    ASSERT_NE("", display.name) << "Xvfb (installed by scripts/setup) did not start";
    EnterProgramDir();
    const std::string program = std::string(LIMNORA_BIN_DIR) + "/limnora";
    char* argv[] = {(char*)program.c_str(), nullptr};
    // A process group of its own, so that the program and its dialog's helper end together.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t pid = 0;
    ASSERT_EQ(0, posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv, environ));
    posix_spawnattr_destroy(&attributes);
    PlayTheUser(pid);
    // Whatever failed above, nothing of the program may outlive the test: a dialog left open would
    // take the clicks of later runs, and its inherited output would keep ctest waiting.
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace
