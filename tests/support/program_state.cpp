// Snapshot and restore of every program-wide record: see program_state.h. A record added to the
// program must be added to the table below.
#include "tests/support/program_state.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "app/controls.h"
#include "app/shell.h"
#include "hud/font.h"
#include "hud/framerate.h"
#include "plants/field.h"
#include "plants/program.h"
#include "plants/random.h"
#include "plants/wind.h"
#include "scene/scene.h"
#include "terrain/heightmap.h"
#include "water/water.h"

namespace {

struct ProgramRecord {
    void* address;
    std::size_t size;
};

#define RECORD(name) \
    { (void*)&(name), sizeof(name) }
const ProgramRecord Records[] = {
    RECORD(keepRunning),     RECORD(fullscreenRequested),
    RECORD(Presses),         RECORD(View),
    RECORD(Toggles),         RECORD(Latches),
    RECORD(Scene),           RECORD(WaterGrid),
    RECORD(Waves),           RECORD(Plants),
    RECORD(ring1Lean),       RECORD(ring2Lean),
    RECORD(tipLean),         RECORD(WindProgram),
    RECORD(RandomState),     RECORD(Wind),
    RECORD(HeightMap),       RECORD(HudFont),
    RECORD(HudGlyphMetrics), RECORD(FrameRate),
};
#undef RECORD

std::vector<unsigned char> snapshot;  // the records one after another, in table order

}  // namespace

void ProgramStateRestore(void) {
    const bool taking = snapshot.empty();
    std::size_t offset = 0;
    for (const ProgramRecord& record : Records) {
        if (taking) {
            snapshot.resize(offset + record.size);
            std::memcpy(&snapshot[offset], record.address, record.size);
        } else {
            std::memcpy(record.address, &snapshot[offset], record.size);
        }
        offset += record.size;
    }
}
