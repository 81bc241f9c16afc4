// The calls of whole frames, one by one, against the frames the test builds itself from the
// formulas: the HUD's and the passes' transforms, every water quad (colour, normals, corners in
// order, heights from the wave phase that the earlier frames' quads advanced), every drawn plant
// in index order (translation, colours and stem points, bent on the CPU or left to the vertex
// program), and every terrain quad (colour and corners). The test repeats the program's
// arithmetic step by step in double with single-precision stores, so every value must agree to
// the last bit: a constant taken in the wrong precision shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/controls.h"
#include "plants/field.h"
#include "plants/wind.h"
#include "terrain/heightmap.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/program_run.h"
#include "water/water.h"

namespace {

enum { Pass = 1000000 };  // GlCall::item = pass * Pass + the quad's or the plant's number
enum { FramePass, WaterPass, PlantPass, TerrainPass };
const char* const PassNames[] = {"frame", "water", "plants", "terrain"};

void Add(std::vector<GlCall>* out, int item, GlOp op, float a = 0, float b = 0, float c = 0,
         float d = 0) {
    out->push_back({op, {a, b, c, d}, item});
}

// ---- The wave model and the water pass

struct WavePhase {
    float phase;  // the shared phase, advanced once per drawn quad
};

float PhaseStep(float strength) {
    return (float)((double)strength * 1e-7 + (double)1e-5f);
}

float Amplitude(float strength) {
    return (float)((double)strength * 0.005 + (double)2.2f);
}

void AdvancePhase(WavePhase* w, float step) {
    w->phase = (float)((double)w->phase + step);
    if ((double)w->phase > 6.2831853071) {
        w->phase = 0.0f;
    }
}

float Height(int i, int j, double p, double a) {
    const double r = 5.0f, s = 5.5f;
    const double t1 = (sin(2 * (i / r) + p) + cos(p - 2 * (j / s))) * a / 4;
    const double t2 = (sin(2 - p + i / r) + cos((j / s) / 2 + p)) * a / 1.2 * t1;
    const double t3 = (sin(p + (i / r) * 1.2) + cos(j / s + p)) * a;
    return (float)((t3 + t2) / 3);
}

// The water quads of a frame whose heights were recomputed; `normals` is the grid the frame
// drew (its normals are checked elsewhere and must only travel with their corner).
void ExpectWater(WavePhase* w, float strength, const WaterVertex (*normals)[WaterGridSize],
                 std::vector<GlCall>* out) {
    const float step = PhaseStep(strength);
    const double amplitude = Amplitude(strength);
    static float y[WaterGridSize][WaterGridSize];
    for (int i = 0; i < WaterGridSize; ++i) {
        for (int j = 0; j < WaterGridSize; ++j) {
            y[i][j] = Height(i, j, w->phase, amplitude);
        }
    }
    const int corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    Add(out, WaterPass * Pass, GlOpBegin, GL_QUADS);
    for (int m = 0; m < WaterGridSize - 1; ++m) {
        for (int n = 0; n < WaterGridSize - 1; ++n) {
            const int item = WaterPass * Pass + m * 100 + n;
            Add(out, item, GlOpColor4f, 0.0f, 0.0f, 0.8f, 0.5f);
            for (const auto& c : corners) {
                const int i = m + c[0], j = n + c[1];
                const WaterVertex& v = normals[i][j];
                Add(out, item, GlOpNormal, v.nx, v.ny, v.nz);
                Add(out, item, GlOpVertex, (float)(50 - i), y[i][j], (float)(50 - j));
            }
            AdvancePhase(w, step);
        }
    }
    Add(out, WaterPass * Pass, GlOpEnd);
}

// ---- The wind model, the bend and the plant pass

struct SwayPhase {
    float phase;  // advanced once per drawn plant
};

WindVector NextWind(SwayPhase* s, float windAngle) {
    const double pi = 3.14159274f;
    const float dx = (float)sin((double)s->phase), dy = (float)cos((double)s->phase);
    const double step = pi / 10 * (double)0.062f;
    s->phase = (double)s->phase < 2 * pi ? (float)(step + s->phase) : (float)step;
    const float length = (float)pow((double)1.115f, (double)windAngle);
    return {(float)((double)dx * length), (float)((double)dy * length), 0.0f};
}

PlantPoint Bend(PlantPoint p, WindVector w, int i, float length) {
    const double pi = 3.14159274f;
    const float dx = (float)(((double)Plants.fieldX[i] - w.x) - 15.36);
    const float dy = (float)(((double)Plants.fieldY[i] - w.y) - 15.36);
    const double d = sqrt((double)dx * dx + (double)dy * dy);
    const double k = 95 / d;
    const float bx = (float)(w.x * k), by = (float)(w.y * k);
    const float r = (float)sqrt((double)bx * bx + (double)by * by);
    const float u = (float)(2 * pi * r);
    const float a = (float)((((double)length + length) * pi) / u);
    const float v = (float)((double)r * cos((double)a));
    const float f = (float)(((double)r - v) / r);
    const float h = (float)((double)r * sin((double)a));
    return {(float)((double)bx * f + p.x), (float)((double)by * f + p.y), h > 0 ? h : 0.0f};
}

// Which stem point each of a stalk's 21 vertices is, and the colour set before it (-1: none).
enum { Base, Ring1, Ring2, Tip };  // colours, greens shade + 35, 65, 95, 125
enum { Back, Left, Right };
struct StalkVertex {
    GLenum begins;  // the primitive this vertex opens, or 0
    int ring;       // Base .. Tip
    int point;      // Back, Left, Right (ignored for the tip)
    int colour;     // ring whose colour is set before it, or -1
};
const StalkVertex Stalk[21] = {
    {GL_TRIANGLE_FAN, Tip, 0, Tip},
    {0, Ring2, Left, Ring2},
    {0, Ring2, Right, -1},
    {0, Ring2, Back, -1},
    {0, Ring2, Left, -1},  //
    {GL_TRIANGLE_STRIP, Ring2, Left, -1},
    {0, Ring1, Left, Ring1},
    {0, Ring2, Back, Ring2},
    {0, Ring1, Back, Ring1},
    {0, Ring2, Right, Ring2},
    {0, Ring1, Right, Ring1},
    {0, Ring2, Left, Ring2},
    {0, Ring1, Left, Ring1},  //
    {GL_TRIANGLE_STRIP, Ring1, Left, -1},
    {0, Base, Left, Base},
    {0, Ring1, Back, Ring1},
    {0, Base, Back, Base},
    {0, Ring1, Right, Ring1},
    {0, Base, Right, Base},
    {0, Ring1, Left, Ring1},
    {0, Base, Left, Base},
};

void ExpectPlants(SwayPhase* s, float windAngle, int windMode, std::vector<GlCall>* out) {
    for (int i = 0; i < PlantCount; ++i) {
        if (!(Plants.baseHeight[i] > 4.0f)) {
            continue;
        }
        const int item = PlantPass * Pass + i;
        const float x = (float)(3.0 * Plants.fieldX[i]), y = (float)(3.0 * Plants.fieldY[i]);
        const float z = Plants.baseHeight[i];
        Add(out, item, GlOpTranslate, x, y, z);
        PlantShape shape;
        PlantShapeBuild(i, &shape);
        const WindVector w = NextWind(s, windAngle);
        const float g = Plants.growth[i];
        const float lengths[4] = {0.0f, Ring1StemLength(g), Ring2StemLength(g), TipStemLength(g)};
        PlantPoint points[4][3];
        const PlantRing* rings[3] = {&shape.base, &shape.ring1, &shape.ring2};
        for (int ring = Base; ring <= Tip; ++ring) {
            for (int p = Back; p <= (ring == Tip ? Back : Right); ++p) {
                const PlantPoint unbent =
                    ring == Tip
                        ? shape.tip
                        : (p == Back ? rings[ring]->back
                                     : (p == Left ? rings[ring]->left : rings[ring]->right));
                const bool bent = windMode == 0 && ring != Base;
                points[ring][p] = bent ? Bend(unbent, w, i, lengths[ring]) : unbent;
            }
        }
        for (int k = 0; k < 21; ++k) {
            const StalkVertex& v = Stalk[k];
            if (v.begins) {
                if (k > 0) {
                    Add(out, item, GlOpEnd);
                }
                Add(out, item, GlOpBegin, (float)v.begins);
            }
            if (v.colour >= 0) {
                Add(out, item, GlOpColor4ub, 0, (float)(Plants.shade[i] + 35 + 30 * v.colour), 0,
                    255);
            }
            const PlantPoint& p = points[v.ring][v.ring == Tip ? 0 : v.point];
            Add(out, item, GlOpVertex, p.x, p.y, p.z);
        }
        Add(out, item, GlOpEnd);
        Add(out, item, GlOpTranslate, -x, -y, -z);
    }
}

// ---- The terrain pass

void ExpectTerrain(std::vector<GlCall>* out) {
    const int corners[4][2] = {{0, 0}, {0, 16}, {16, 16}, {16, 0}};
    Add(out, TerrainPass * Pass, GlOpBegin, GL_QUADS);
    for (int i = 0; i < 1008; i += 16) {
        for (int j = 0; j < 1008; j += 16) {
            const int item = TerrainPass * Pass + i * 1024 + j;
            for (const auto& c : corners) {
                const int a = i + c[0], b = j + c[1];
                const int h = HeightMap[a + b * 1024];
                const float shade = (float)h / 256.0f;
                Add(out, item, GlOpColor3f, shade, shade, 0.0f);
                Add(out, item, GlOpVertex, (float)a, (float)b, (float)h);
            }
        }
    }
    Add(out, TerrainPass * Pass, GlOpEnd);
}

// ---- One frame

struct FrameInput {
    float strength;   // the wind strength percent the frame drew with
    float windAngle;  // and its wind angle
    int windMode;
    const WaterVertex (*grid)[WaterGridSize];  // the water grid the frame drew
};

std::vector<GlCall> ExpectFrame(WavePhase* w, SwayPhase* s, const FrameInput& in) {
    std::vector<GlCall> out;
    const int item = FramePass * Pass;
    Add(&out, item, GlOpColor3f, 1.0f, 1.0f, 0.0f);
    const float hud[4][2] = {{-19.0f, 13.5f}, {-19.0f, -12.0f}, {-19.0f, -13.0f}, {16.0f, 13.5f}};
    for (const auto& at : hud) {
        Add(&out, item, GlOpTranslate, at[0], at[1], -40.0f);
    }
    Add(&out, item, GlOpTranslate, 0.0f, 0.0f, View.zoom);
    Add(&out, item, GlOpTranslate, 0.0f, 0.0f, 12.0f);
    ExpectWater(w, in.strength, in.grid, &out);
    Add(&out, item, GlOpTranslate, 0.0f, 0.0f, -12.0f);
    Add(&out, item, GlOpTranslate, -15.36f, -15.36f, 0.0f);
    ExpectPlants(s, in.windAngle, in.windMode, &out);
    ExpectTerrain(&out);
    return out;
}

std::string Describe(const GlCall& c, int item) {
    const char* const ops[] = {"begin",   "end",     "vertex",   "normal",
                               "color3f", "color4f", "color4ub", "translate"};
    char text[160];
    std::snprintf(text, sizeof text, "%s in %s, item %d: (%.9g, %.9g, %.9g, %.9g)", ops[c.op],
                  PassNames[item / Pass], item % Pass, c.v[0], c.v[1], c.v[2], c.v[3]);
    return text;
}

// Compares call by call; reports the first difference and how many calls differ.
void ExpectSameCalls(const std::vector<GlCall>& want, const std::vector<GlCall>& got) {
    const size_t n = want.size() < got.size() ? want.size() : got.size();
    size_t differing = 0, first = n;
    for (size_t i = 0; i < n; ++i) {
        const bool same = want[i].op == got[i].op && want[i].v[0] == got[i].v[0] &&
                          want[i].v[1] == got[i].v[1] && want[i].v[2] == got[i].v[2] &&
                          want[i].v[3] == got[i].v[3];
        if (!same && differing++ == 0) {
            first = i;
        }
    }
    EXPECT_EQ(want.size(), got.size());
    if (differing > 0) {
        ADD_FAILURE() << differing << " calls differ, the first at call " << first << ": expected "
                      << Describe(want[first], want[first].item) << ", drawn "
                      << Describe(got[first], want[first].item);
    }
}

// What the swap hook keeps of each frame.
struct RecordedRun {
    enum { Frames = 26, First = 25 };  // frames First .. Frames are recorded
    float wavePhase[Frames + 1];       // Waves.phase after each frame
    float phaseStep[Frames + 1];       // and the wave parameters it drew with
    float amplitude[Frames + 1];
    float strength[Frames + 1];
    float windAngle[Frames + 1];
    std::vector<GlCall> calls[Frames + 1];
    WaterVertex grid[Frames + 1 - First][WaterGridSize][WaterGridSize];
};

void Keep(int frame, void* user) {
    RecordedRun* run = (RecordedRun*)user;
    if (frame > RecordedRun::Frames) {
        return;
    }
    run->wavePhase[frame] = Waves.phase;
    run->phaseStep[frame] = Waves.phaseStep;
    run->amplitude[frame] = Waves.amplitude;
    run->strength[frame] = Wind.strengthPercent;
    run->windAngle[frame] = Wind.windAngle;
    if (frame >= RecordedRun::First) {
        run->calls[frame] = GlRecorderTake();
        std::memcpy(run->grid[frame - RecordedRun::First], WaterGrid, sizeof WaterGrid);
    }
    if (frame + 1 >= RecordedRun::First) {
        GlRecorderStart();
    }
}

TEST(FrameStreamTest, EveryCallOfACpuAndAVertexProgramFrameFollowsTheFormulas) {
    EnterProgramDir();
    DriverInstall();
    static RecordedRun run;
    DriverSetSwapHook(Keep, &run);
    // 24 wind steps: the strength passes 14, 24 and 48, where a phase step taken with a
    // single-precision 1e-7 (in a double or a float product) differs in its last bit; then the
    // vertex program for the last frame.
    DriverKeyAt(1, 'X', 1, 0);
    DriverKeyAt(RecordedRun::First, 'X', 0, 0);
    DriverKeyAt(RecordedRun::Frames, 'W', 1, 0);
    DriverStopAfter(RecordedRun::Frames);
    ASSERT_EQ(0, RunProgram(IDNO));
    DriverUninstall();
    ASSERT_EQ(RecordedRun::Frames, DriverFrames());

    int drawn = 0;
    for (int i = 0; i < PlantCount; ++i) {
        drawn += Plants.baseHeight[i] > 4.0f;
    }
    ASSERT_GT(drawn, 1000);
    // The frames before the recorded ones: the first keeps the flat grid, and every frame moves
    // the wave phase by one step per quad and the sway by one step per drawn plant.
    WavePhase w = {0.0f};
    SwayPhase s = {0.0f};
    for (int frame = 1; frame < RecordedRun::First; ++frame) {
        for (int quad = 0; quad < 99 * 99; ++quad) {
            AdvancePhase(&w, PhaseStep(run.strength[frame]));
        }
        for (int plant = 0; plant < drawn; ++plant) {
            NextWind(&s, run.windAngle[frame]);
        }
        EXPECT_EQ(w.phase, run.wavePhase[frame]) << "after frame " << frame;
    }
    // A step that differs in its last bit seldom moves the phase it is added to: compared apart.
    for (int frame = 1; frame <= RecordedRun::Frames; ++frame) {
        EXPECT_EQ(PhaseStep(run.strength[frame]), run.phaseStep[frame]) << "frame " << frame;
        EXPECT_EQ(Amplitude(run.strength[frame]), run.amplitude[frame]) << "frame " << frame;
    }
    for (int frame = RecordedRun::First; frame <= RecordedRun::Frames; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        const FrameInput in = {run.strength[frame], run.windAngle[frame],
                               frame == RecordedRun::Frames ? 1 : 0,
                               run.grid[frame - RecordedRun::First]};
        ExpectSameCalls(ExpectFrame(&w, &s, in), run.calls[frame]);
        EXPECT_EQ(w.phase, run.wavePhase[frame]);
    }
    EXPECT_FLOAT_EQ(48.0f, run.strength[RecordedRun::Frames]);
}

}  // namespace
