// The measured run of the real program (live_run.h). The frame plan is fixed before WinMain
// starts; the driver's swap hook, called as each frame is presented, closes the frame that ends
// there and sets the GL switch for the next one. Nothing in the hook allocates.
#include "tools/performance/live_run.h"

#include <cstdlib>
#include <cstring>

#include "platform/gl.h"
#include "platform/win32_standin/driver.h"
#include "tools/performance/alloc_count.h"
#include "tools/performance/gl_switch.h"
#include "tools/performance/run_harness.h"
#include "tools/performance/run_probe.h"
#include "tools/performance/sleep_count.h"

namespace {

const int SwitchGap = 6;  // frames from one F1 press to the next

// What the plan says about one frame.
struct PlannedFrame {
    int mode;      // wind mode it is drawn in
    int measured;  // 1 inside a mode's measuring blocks
    int glOn;      // GL state while it is drawn
    int firstOfBlock;
    int afterSwitch;  // 1 for the first frame of a window that an F1 press re-created
};

// Frame numbers of the plan's parts, from the settings.
struct FramePlan {
    LiveRunSettings s;
    int measureStart[2];  // first measured frame of each mode
    int windKeyFrame;     // W goes down before this frame
    int switchStart;      // first F1 press
    int lastFrame;
};

// Samples and running readings; written by the hook only.
struct HookState {
    FramePlan plan;
    double lastWallMs, lastCpuMs, lastProcessMs, lastSleptMs;
    AllocCounts lastAllocs;
    long long lastGlCalls, lastFans, lastGlesCalls, lastGlesDraws;
    double onMs[2][LiveMaxSamples];
    double onMainCpuMs[2][LiveMaxSamples];
    double onAllCpuMs[2][LiveMaxSamples];
    double offCpuMs[2][LiveMaxSamples];
    double offWallMs[2][LiveMaxSamples];
    int onCount[2], offCount[2];
    long long allocs[2], programAllocs[2], glCallsOn[2], glesCallsOn[2], glesDrawsOn[2];
    long long libraryAllocs[2][AllocMaxObjects];
    int allocFrames[2];
    LiveRunResult* result;
};

HookState Hook;

void MakePlan(const LiveRunSettings* s, FramePlan* plan) {
    plan->s = *s;
    const int modeLength = s->warmUp + 2 * s->measured;
    plan->measureStart[0] = 1 + s->warmUp;
    plan->windKeyFrame = 1 + modeLength;
    plan->measureStart[1] = plan->windKeyFrame + s->warmUp;
    plan->switchStart = plan->windKeyFrame + modeLength;
    plan->lastFrame = plan->switchStart + s->switches * SwitchGap;
}

PlannedFrame PlanOf(const FramePlan* plan, const int frame) {
    PlannedFrame f = {0, 0, 1, 0, 0};
    f.mode = frame >= plan->windKeyFrame ? 1 : 0;
    const int m = frame - plan->measureStart[f.mode];
    if (m >= 0 && m < 2 * plan->s.measured) {
        f.measured = 1;
        f.glOn = (m / plan->s.block) % 2 == 0;
        f.firstOfBlock = m % plan->s.block == 0;
    }
    const int k = frame - 1 - plan->switchStart;
    f.afterSwitch = k >= 0 && k % SwitchGap == 0 && k / SwitchGap < plan->s.switches;
    return f;
}

void ScriptKeys(const FramePlan* plan) {
    DriverKeyAt(plan->windKeyFrame, 'W', 1, 0);
    DriverKeyAt(plan->windKeyFrame + 1, 'W', 0, 0);
    for (int j = 0; j < plan->s.switches; j++) {
        const int frame = plan->switchStart + j * SwitchGap;
        DriverKeyAt(frame, VK_F1, 1, 0);
        DriverKeyAt(frame + 1, VK_F1, 0, 0);
    }
}

// Closes the frame that ends now and arms the switch for the next.
void AfterFrame(const int frame, void*) {
    HookState* h = &Hook;
    LiveRunResult* r = h->result;
    const PlannedFrame f = PlanOf(&h->plan, frame);
    if (frame == 1 || f.afterSwitch) {
        glFinish();  // the first frame of a window counts once it is really drawn
    }
    const double wall = MonotonicMs();
    const double cpu = ThreadCpuMs();
    const double process = ProcessCpuMs();
    const double slept = SleptMs();
    AllocCounts allocs;
    AllocCountRead(&allocs);

    if (frame == 1) {
        AllocCountMapObjects();  // the GL driver is loaded by now
        const char* renderer = (const char*)glGetString(GL_RENDERER);
        strncpy(r->renderer, renderer ? renderer : "?", sizeof r->renderer - 1);
    } else if (f.afterSwitch && r->switches < LiveMaxSwitches) {
        r->switchSleptMs[r->switches] = slept - h->lastSleptMs;
        r->switchMs[r->switches++] = wall - h->lastWallMs;
    } else if (f.measured && !f.firstOfBlock) {
        const int m = f.mode;
        h->allocs[m] += allocs.calls - h->lastAllocs.calls;
        h->programAllocs[m] += allocs.programCalls - h->lastAllocs.programCalls;
        for (int i = 0; i < AllocMaxObjects; i++) {
            h->libraryAllocs[m][i] += allocs.objectCalls[i] - h->lastAllocs.objectCalls[i];
        }
        h->allocFrames[m]++;
        if (f.glOn && h->onCount[m] < LiveMaxSamples) {
            h->onMainCpuMs[m][h->onCount[m]] = cpu - h->lastCpuMs;
            h->onAllCpuMs[m][h->onCount[m]] = process - h->lastProcessMs;
            h->onMs[m][h->onCount[m]++] = wall - h->lastWallMs;
            h->glCallsOn[m] += GlSwitch.calls - h->lastGlCalls;
            h->glesCallsOn[m] += GlSwitchGlesCalls() - h->lastGlesCalls;
            h->glesDrawsOn[m] += GlSwitchGlesDraws() - h->lastGlesDraws;
            r->mode[m].plantsDrawn = (int)(GlSwitch.triangleFans - h->lastFans);
        } else if (!f.glOn && h->offCount[m] < LiveMaxSamples) {
            h->offCpuMs[m][h->offCount[m]] = cpu - h->lastCpuMs;
            h->offWallMs[m][h->offCount[m]++] = wall - h->lastWallMs;
        }
    }
    r->framesDrawn = frame;

    if (h->plan.s.injectAllocation) {
        // One block per frame from the executable's code, so that a test can see it counted.
        static void* volatile held = nullptr;
        free(held);
        held = malloc(64);
    }
    // The swap right after this hook already belongs to the next frame's state.
    GlSwitch.on = PlanOf(&h->plan, frame + 1).glOn;
    h->lastWallMs = wall;
    h->lastCpuMs = cpu;
    h->lastProcessMs = process;
    h->lastSleptMs = slept;
    h->lastAllocs = allocs;
    h->lastGlCalls = GlSwitch.calls;
    h->lastFans = GlSwitch.triangleFans;
    h->lastGlesCalls = GlSwitchGlesCalls();
    h->lastGlesDraws = GlSwitchGlesDraws();
}

void Summarise(HookState* h, LiveRunResult* r) {
    for (int m = 0; m < 2; m++) {
        LiveModeFigures* f = &r->mode[m];
        f->framesOn = h->onCount[m];
        f->framesOff = h->offCount[m];
        f->frameMs = MedianOf(h->onMs[m], h->onCount[m]);
        f->frameMainCpuMs = MedianOf(h->onMainCpuMs[m], h->onCount[m]);
        f->frameAllCpuMs = MedianOf(h->onAllCpuMs[m], h->onCount[m]);
        f->programMs = MedianOf(h->offCpuMs[m], h->offCount[m]);
        f->programWallMs = MedianOf(h->offWallMs[m], h->offCount[m]);
        const double frames = h->allocFrames[m] > 0 ? h->allocFrames[m] : 1;
        f->allocsPerFrame = (double)h->allocs[m] / frames;
        f->programAllocsPerFrame = (double)h->programAllocs[m] / frames;
        for (int i = 0; i < AllocMaxObjects; i++) {
            f->libraryAllocsPerFrame[i] = (double)h->libraryAllocs[m][i] / frames;
        }
        const double on = h->onCount[m] > 0 ? h->onCount[m] : 1;
        f->glCallsPerFrame = (double)h->glCallsOn[m] / on;
        const int gles = GlSwitchGlesCalls() >= 0;
        f->glesCallsPerFrame = gles ? (double)h->glesCallsOn[m] / on : -1;
        f->glesDrawsPerFrame = gles ? (double)h->glesDrawsOn[m] / on : -1;
    }
}

}  // namespace

int LiveRun(const LiveRunSettings* settings, LiveRunResult* result) {
    memset(&Hook, 0, sizeof Hook);
    memset(result, 0, sizeof *result);
    MakePlan(settings, &Hook.plan);
    Hook.result = result;

    HarnessPrepare(Hook.plan.lastFrame, AfterFrame);  // the 800x600 window is the measured one
    ScriptKeys(&Hook.plan);
    GlSwitch.on = 1;
    result->exitCode = HarnessRun();
    GlSwitch.on = 1;
    Summarise(&Hook, result);
    return result->framesDrawn == Hook.plan.lastFrame && result->exitCode == 0;
}
