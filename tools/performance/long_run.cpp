// The long run (long_run.h). The swap hook counts allocations between steady frames (not the
// first frames of a window, where the new context may still build driver state, nor the frames
// around W) and takes the readings at each window's last frame, after glFinish so that no frame
// is in flight in the GL driver's threads. Nothing in the hook allocates.
#define GL_GLEXT_PROTOTYPES 1

#include "tools/performance/long_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/cg/runtime/runtime.h"
#include "platform/gl.h"
#include "tools/performance/alloc_count.h"
#include "tools/performance/run_harness.h"
#include "tools/performance/run_probe.h"

namespace {

// Frame numbers of the run's parts.
struct LongPlan {
    int period;  // frames per window, the last window excepted
    int switches;
    int lastFrame;
};

struct LongHook {
    LongPlan plan;
    int injectLeakKb;                // from the settings
    void* injected[LongMaxWindows];  // the blocks kept, reachable to the end
    AllocCounts last;
    LongRunResult* result;
};

LongHook Hook;

int WindowOf(const LongPlan* p, const int frame) {
    const int w = (frame - 1) / p->period;
    return w < p->switches ? w : p->switches;
}

int LastFrameOf(const LongPlan* p, const int window) {
    return window < p->switches ? (window + 1) * p->period : p->lastFrame;
}

int WindKeyFrame(const LongPlan* p, const int window) {
    const int first = window * p->period + 1;
    return first + (LastFrameOf(p, window) - first) / 2;
}

void ScriptKeys(const LongPlan* p) {
    for (int w = 0; w <= p->switches; w++) {
        DriverKeyAt(WindKeyFrame(p, w), 'W', 1, 0);
        DriverKeyAt(WindKeyFrame(p, w) + 1, 'W', 0, 0);
        if (w < p->switches) {
            // Down before the window's last frame, whose update asks for the switch.
            DriverKeyAt(LastFrameOf(p, w), VK_F1, 1, 0);
            DriverKeyAt(LastFrameOf(p, w) + 1, VK_F1, 0, 0);
        }
    }
}

// The layers' objects now; the GL counts only where asked, as they need a current context.
void CountObjects(const int withGl, LiveObjects* o) {
    memset(o, 0, sizeof *o);
    if (withGl) {
        o->displayLists = GlListsInUse(4096);
        o->shaderObjects = GlShaderObjectsInUse(64);
    }
    const DriverCounters live = DriverLiveObjects();
    o->windows = live.windows;
    o->deviceContexts = live.deviceContexts;
    o->renderContexts = live.renderContexts;
    o->fonts = live.fonts;
    o->classes = live.classes;
    o->cgContexts = CgLiveContexts();
    o->cgPrograms = CgLivePrograms();
}

// The memory reading of a window whose scene set-up is starting.
void TakeSetUpReading(LongRunResult* r) {
    if (r->windows >= LongMaxWindows) {
        return;
    }
    WindowReading* reading = &r->reading[r->windows++];
    reading->heapKb = (double)HeapInUseBytes() / 1024.0;
    AllocCounts counts;
    AllocCountRead(&counts);
    reading->liveKb = (double)counts.liveBytes / 1024.0;
    reading->residentKb = (double)ResidentSetKilobytes();
    DriverWindowInfo info;
    memset(&info, 0, sizeof info);
    DriverDescribeWindow(DriverLastWindow(), &info);
    reading->fullscreen = info.fullscreen;
}

// The object reading of the window at its last frame.
void TakeLastFrameReading(LongRunResult* r) {
    if (r->windows < 1) {
        return;
    }
    WindowReading* reading = &r->reading[r->windows - 1];
    reading->cursorCounter = DriverLiveObjects().cursorCounter;
    CountObjects(1, &reading->objects);
    reading->complete = 1;
}

void AfterFrame(const int frame, void*) {
    LongHook* h = &Hook;
    LongRunResult* r = h->result;
    const int window = WindowOf(&h->plan, frame);
    const int first = window * h->plan.period + 1;
    const int windKey = WindKeyFrame(&h->plan, window);
    const int steady = frame >= first + LongSettleFrames &&
                       (frame < windKey || frame >= windKey + LongSettleFrames);
    if (frame == 1) {
        AllocCountMapObjects();  // the GL driver is loaded by now
    }
    AllocCounts now;
    AllocCountRead(&now);
    if (steady) {
        r->steadyFrames++;
        r->programAllocs += now.programCalls - h->last.programCalls;
        r->libraryAllocs += (now.calls - now.programCalls) - (h->last.calls - h->last.programCalls);
        for (int i = 0; i < AllocMaxObjects; i++) {
            r->libraryByObject[i] += now.objectCalls[i] - h->last.objectCalls[i];
        }
    }
    r->framesDrawn = frame;
    if (frame == LastFrameOf(&h->plan, window)) {
        TakeLastFrameReading(r);
        // About ten progress lines over the run, for runs that take an hour.
        const int every = h->plan.switches / 10 > 0 ? h->plan.switches / 10 : 1;
        if (window % every == 0 && r->windows > 0) {
            const WindowReading* last = &r->reading[r->windows - 1];
            printf(
                "progress: window %d of %d, frame %d: heap %.0f KB (live %.0f KB), resident "
                "%.0f KB\n",
                window + 1, h->plan.switches + 1, frame, last->heapKb, last->liveKb,
                last->residentKb);
            fflush(stdout);
        }
    }
    // Read again: the reading's own calls are not the next frame's.
    AllocCountRead(&h->last);
}

}  // namespace

// The HUD font's glGenLists is the first GL call of every scene set-up: the old window's context
// is gone and the new one has drawn nothing yet. The longrun target is linked with
// --wrap=glGenLists, so the program's call arrives here.
extern "C" GLuint __real_glGenLists(GLsizei range);
extern "C" GLuint __wrap_glGenLists(GLsizei range) {
    if (Hook.result) {
        TakeSetUpReading(Hook.result);
        const int window = Hook.result->windows - 1;
        if (Hook.injectLeakKb > 0 && window >= 0 && window < LongMaxWindows) {
            // A leak on purpose, touched so that it is resident too.
            Hook.injected[window] = malloc((size_t)Hook.injectLeakKb * 1024);
            if (Hook.injected[window]) {
                memset(Hook.injected[window], 1, (size_t)Hook.injectLeakKb * 1024);
            }
        }
    }
    return __real_glGenLists(range);
}

int LongRun(const LongRunSettings* settings, LongRunResult* result) {
    memset(&Hook, 0, sizeof Hook);
    memset(result, 0, sizeof *result);
    LongPlan* p = &Hook.plan;
    p->switches = settings->switches;
    p->period = settings->frames / (settings->switches + 1);
    p->lastFrame = settings->frames;
    Hook.result = result;
    Hook.injectLeakKb = settings->injectLeakKb;
    if (p->period < LongMinWindowFrames || settings->switches + 1 > LongMaxWindows) {
        return 0;
    }

    HarnessPrepare(p->lastFrame, AfterFrame);  // every other window is really fullscreen
    ScriptKeys(p);
    AllocCountRead(&Hook.last);
    result->exitCode = HarnessRun();
    CountObjects(0, &result->afterRun);
    result->cursorAfterRun = DriverLiveObjects().cursorCounter;
    result->displayChangedAfterRun = DriverLiveObjects().displayChanged;
    return result->framesDrawn == p->lastFrame && result->exitCode == 0;
}
