// The real program under a real X server, driven from outside like a user: xdotool answers the
// start-up dialog with "No" and presses keys in the window. No test driver is involved.
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

#include "tests/support/program_run.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

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
        char* argv[] = {(char*)"Xvfb", (char*)"-displayfd", (char*)"3", (char*)"-screen",
                        (char*)"0", (char*)"1024x768x24", (char*)"-nolisten", (char*)"tcp",
                        (char*)"+extension", (char*)"GLX", nullptr};
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

// Plays the user against the running program: answers the start-up question with No, presses F3,
// then Escape until the program ends with code 0.
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

    // Keys go to the program's window, which is given the focus first, and are held for a while,
    // as a hand would: the program reads its key table once per frame, so a press and release
    // within one frame would go unseen. Escape is pressed again until the program ends: a slow
    // build may still be in its scene set-up, where no frame reads keys.
    const std::string focus = "xdotool windowfocus " + window.id + " 2>/dev/null; ";
    const std::string to = " --window " + window.id + " ";
    auto press = [&](const char* key) {
        Command(focus + "xdotool keydown" + to + key + " 2>/dev/null");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Command("xdotool keyup" + to + key + " 2>/dev/null");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    };
    press("F3");
    const auto end = Clock::now() + std::chrono::seconds(30);
    int status = 0;
    pid_t ended = 0;
    while (ended == 0 && Clock::now() < end) {
        press("Escape");
        ended = waitpid(pid, &status, WNOHANG);
    }
    if (ended == pid) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    } else {
        EXPECT_EQ(0, WaitForExit(pid, 5.0));
    }
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
