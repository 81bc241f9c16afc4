// The terrain generator: gradient noise summed over octaves, lowered away from a few seeded island
// centres so that land gathers in islands with bays and channels between them, then remapped by its
// own height distribution so that every seed gives the same shares of water, beach and
// plant-bearing land. Scratch lives in static storage.
#include "tools/data/terrain_generate.h"

#include <math.h>
#include <stdlib.h>

#include "plants/field.h"
#include "plants/prepare.h"
#include "plants/random.h"

// Octaves of noise summed; each halves the feature size.
const int NoiseOctaves = 6;
// Feature size of the first octave in samples: a few hills and bays across the map.
const double NoiseBasePeriod = 400.0;
// Amplitude kept from one octave to the next. Below one half, so that the finer octaves, whose
// slopes would otherwise add up as much as the coarse ones, leave the ground walkable.
const double NoisePersistence = 0.45;
// Island centres, at least IslandMargin samples inside the map edge so that the map's rim is sea,
// and how fast land sinks away from the nearest one: by EdgeFalloff at IslandRadius samples.
const int IslandCount = 6;
const double IslandMargin = 200.0;
const double IslandRadius = 250.0;
const double EdgeFalloff = 0.5;
// Heights the distribution is remapped to. The shares are those of the scene: a third of the map
// below the water plane (121), half of it high enough for plants (134), hills up to SummitHeight.
const double SeaFloorHeight = 72.0;
const double WaterShare = 0.33;
const double PlantShare = 0.50;
const double SummitHeight = 244.0;
// Steepest rise allowed, in height per sample along a row or column: 16 samples apart the mesh
// then differs by at most 16 * 1.4 + 1 (rounding) = 24, so the drawn terrain has no walls.
const double MaxSlope = 1.4;
// Bins of the height histogram the shares are read from.
const int HistogramBins = 8192;

// Sixteen unit gradient directions, 22.5 degrees apart, written out so no libm call varies them.
static const double GradientX[16] = {
    1.0,  0.9238795,  0.7071068,  0.3826834,  0.0, -0.3826834, -0.7071068, -0.9238795,
    -1.0, -0.9238795, -0.7071068, -0.3826834, 0.0, 0.3826834,  0.7071068,  0.9238795};
static const double GradientY[16] = {
    0.0, 0.3826834,  0.7071068,  0.9238795,  1.0,  0.9238795,  0.7071068,  0.3826834,
    0.0, -0.3826834, -0.7071068, -0.9238795, -1.0, -0.9238795, -0.7071068, -0.3826834};

// Unshaped heights of the last TerrainGenerate, and their histogram. Written by TerrainGenerate.
static float RawHeight[TerrainMapBytes];
static int Histogram[HistogramBins];

// Mixes lattice coordinates, octave and seed into 32 well-spread bits.
static unsigned int LatticeHash(const int x, const int y, const int octave,
                                const unsigned int seed) {
    unsigned int h = seed * 0x9E3779B1u;
    h ^= (unsigned int)x * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= (unsigned int)y * 0xC2B2AE35u;
    h = (h << 17) | (h >> 15);
    h ^= (unsigned int)octave * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Contribution of one lattice corner's gradient at offset (dx, dy) from that corner.
static double CornerDot(const int x, const int y, const int octave, const unsigned int seed,
                        const double dx, const double dy) {
    const unsigned int g = LatticeHash(x, y, octave, seed) >> 28;
    return GradientX[g] * dx + GradientY[g] * dy;
}

// Quintic fade: zero slope and curvature at both lattice lines, so octaves show no creases.
static double Fade(const double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

// Gradient noise at (px, py) in lattice units, about -0.7..0.7.
static double GradientNoise(const double px, const double py, const int octave,
                            const unsigned int seed) {
    const double fx0 = floor(px);
    const double fy0 = floor(py);
    const int x0 = (int)fx0;
    const int y0 = (int)fy0;
    const double dx = px - fx0;
    const double dy = py - fy0;
    const double n00 = CornerDot(x0, y0, octave, seed, dx, dy);
    const double n10 = CornerDot(x0 + 1, y0, octave, seed, dx - 1.0, dy);
    const double n01 = CornerDot(x0, y0 + 1, octave, seed, dx, dy - 1.0);
    const double n11 = CornerDot(x0 + 1, y0 + 1, octave, seed, dx - 1.0, dy - 1.0);
    const double u = Fade(dx);
    const double v = Fade(dy);
    const double bottom = n00 + (n10 - n00) * u;
    const double top = n01 + (n11 - n01) * u;
    return bottom + (top - bottom) * v;
}

// Fractal sum of octaves at sample (x, y). Each octave's lattice is shifted by a seeded fraction
// so that the lattices do not all meet (and vanish) at the same points.
static double FractalNoise(const int x, const int y, const unsigned int seed) {
    double sum = 0.0;
    double amplitude = 1.0;
    double period = NoiseBasePeriod;
    for (int octave = 0; octave < NoiseOctaves; octave++) {
        const unsigned int shift = LatticeHash(-1, -1, octave, seed);
        const double shiftX = (double)(shift & 0xFFFF) / 65536.0;
        const double shiftY = (double)(shift >> 16) / 65536.0;
        sum += amplitude * GradientNoise(x / period + shiftX, y / period + shiftY, octave, seed);
        amplitude *= NoisePersistence;
        period *= 0.5;
    }
    return sum;
}

// Land lowering at (x, y): 0 at the nearest island centre, growing with the square of the
// distance to it, so that land gathers around the centres and the channels between them drown.
static double IslandLowering(const int x, const int y, const unsigned int seed) {
    double nearest = 1e30;
    for (int island = 0; island < IslandCount; island++) {
        const unsigned int h = LatticeHash(island, -2, 0, seed);
        const double cx =
            IslandMargin + (double)(h & 0xFFFF) / 65536.0 * (TerrainMapSize - 2 * IslandMargin);
        const double cy =
            IslandMargin + (double)(h >> 16) / 65536.0 * (TerrainMapSize - 2 * IslandMargin);
        const double dx = (x - cx) / IslandRadius;
        const double dy = (y - cy) / IslandRadius;
        const double d = dx * dx + dy * dy;
        nearest = d < nearest ? d : nearest;
    }
    return EdgeFalloff * nearest;
}

// Raw height at which the given share of all samples lies below, read from the histogram.
static double RawQuantile(const double share, const double low, const double binWidth) {
    const long long wanted = (long long)(share * TerrainMapBytes);
    long long below = 0;
    for (int bin = 0; bin < HistogramBins; bin++) {
        if (below + Histogram[bin] > wanted) {
            const double within = (double)(wanted - below) / Histogram[bin];
            return low + (bin + within) * binWidth;
        }
        below += Histogram[bin];
    }
    return low + HistogramBins * binWidth;
}

// Height curve: piecewise linear through (low, floor), (water raw, just under 121),
// (plant raw, just under 134) and (high, summit).
static double ShapeHeight(const double raw, const double low, const double waterRaw,
                          const double plantRaw, const double high, const int plantLevel) {
    const double waterHeight = TerrainWaterLevel - 0.5;
    const double plantHeight = plantLevel - 0.5;
    if (raw < waterRaw) {
        return SeaFloorHeight + (waterHeight - SeaFloorHeight) * (raw - low) / (waterRaw - low);
    }
    if (raw < plantRaw) {
        return waterHeight + (plantHeight - waterHeight) * (raw - waterRaw) / (plantRaw - waterRaw);
    }
    return plantHeight + (SummitHeight - plantHeight) * (raw - plantRaw) / (high - plantRaw);
}

// Lowers every sample to at most its neighbours' heights plus MaxSlope times their distance, so
// that no slope is steeper than MaxSlope: the greatest such surface under the given one, found by
// two raster sweeps (a chamfer distance transform), which leaves gentle ground untouched.
static void LimitSlope(float* height) {
    const double diagonal = MaxSlope * 1.41421356;
    const int size = TerrainMapSize;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            double h = height[x + y * size];
            if (x > 0) {
                h = fmin(h, height[x - 1 + y * size] + MaxSlope);
            }
            if (y > 0) {
                h = fmin(h, height[x + (y - 1) * size] + MaxSlope);
                if (x > 0) {
                    h = fmin(h, height[x - 1 + (y - 1) * size] + diagonal);
                }
                if (x + 1 < size) {
                    h = fmin(h, height[x + 1 + (y - 1) * size] + diagonal);
                }
            }
            height[x + y * size] = (float)h;
        }
    }
    for (int y = size - 1; y >= 0; y--) {
        for (int x = size - 1; x >= 0; x--) {
            double h = height[x + y * size];
            if (x + 1 < size) {
                h = fmin(h, height[x + 1 + y * size] + MaxSlope);
            }
            if (y + 1 < size) {
                h = fmin(h, height[x + (y + 1) * size] + MaxSlope);
                if (x + 1 < size) {
                    h = fmin(h, height[x + 1 + (y + 1) * size] + diagonal);
                }
                if (x > 0) {
                    h = fmin(h, height[x - 1 + (y + 1) * size] + diagonal);
                }
            }
            height[x + y * size] = (float)h;
        }
    }
}

void TerrainGenerate(const unsigned int seed, unsigned char* map) {
    double low = 1e30;
    double high = -1e30;
    for (int y = 0; y < TerrainMapSize; y++) {
        for (int x = 0; x < TerrainMapSize; x++) {
            const float raw = (float)(FractalNoise(x, y, seed) - IslandLowering(x, y, seed));
            RawHeight[x + y * TerrainMapSize] = raw;
            low = raw < low ? raw : low;
            high = raw > high ? raw : high;
        }
    }

    const double binWidth = (high - low) / HistogramBins;
    for (int bin = 0; bin < HistogramBins; bin++) {
        Histogram[bin] = 0;
    }
    for (int i = 0; i < TerrainMapBytes; i++) {
        int bin = (int)((RawHeight[i] - low) / binWidth);
        bin = bin < HistogramBins ? bin : HistogramBins - 1;
        Histogram[bin]++;
    }
    const double waterRaw = RawQuantile(WaterShare, low, binWidth);
    const double plantRaw = RawQuantile(1.0 - PlantShare, low, binWidth);
    const int plantLevel = TerrainPlantLevel();

    for (int i = 0; i < TerrainMapBytes; i++) {
        RawHeight[i] = (float)ShapeHeight(RawHeight[i], low, waterRaw, plantRaw, high, plantLevel);
    }
    LimitSlope(RawHeight);
    for (int i = 0; i < TerrainMapBytes; i++) {
        const int sample = (int)floor(RawHeight[i] + 0.5);
        map[i] = (unsigned char)(sample < 0 ? 0 : (sample > 255 ? 255 : sample));
    }
}

int TerrainPlantLevel(void) {
    int sample = 0;
    while (sample < 255 && !PlantHeightDrawn(PlantBaseHeight(sample))) {
        sample++;
    }
    return sample;
}

int TerrainCountPlants(const unsigned char* map) {
    // The plant field's own placement from the sequence's first number, as at program start; the
    // field and the sequence are the program's records, so both are put back afterwards.
    static PlantField saved;
    saved = Plants;
    const unsigned int savedState = RandomState;
    RandomState = RandomSeed;
    PlantFieldPlace(map);
    int drawn = 0;
    for (int i = 0; i < PlantCount; i++) {
        drawn += PlantIsDrawn(i);
    }
    RandomState = savedState;
    Plants = saved;
    return drawn;
}

void TerrainMeasure(const unsigned char* map, TerrainStats* stats) {
    const int plantLevel = TerrainPlantLevel();
    int water = 0;
    int plantLand = 0;
    int maximum = 0;
    int minimum = 255;
    int maxSampleStep = 0;
    for (int y = 0; y < TerrainMapSize; y++) {
        for (int x = 0; x < TerrainMapSize; x++) {
            const int h = map[x + y * TerrainMapSize];
            water += h < TerrainWaterLevel;
            plantLand += h >= plantLevel;
            maximum = h > maximum ? h : maximum;
            minimum = h < minimum ? h : minimum;
            if (x + 1 < TerrainMapSize) {
                const int step = abs(h - map[x + 1 + y * TerrainMapSize]);
                maxSampleStep = step > maxSampleStep ? step : maxSampleStep;
            }
            if (y + 1 < TerrainMapSize) {
                const int step = abs(h - map[x + (y + 1) * TerrainMapSize]);
                maxSampleStep = step > maxSampleStep ? step : maxSampleStep;
            }
        }
    }

    // The drawn mesh: lattice 0, 16, ..., 1008 in both directions.
    const int meshLast = TerrainMapSize - TerrainMeshStep;
    int maxMeshStep = 0;
    for (int y = 0; y <= meshLast; y += TerrainMeshStep) {
        for (int x = 0; x <= meshLast; x += TerrainMeshStep) {
            const int h = map[x + y * TerrainMapSize];
            if (x + TerrainMeshStep <= meshLast) {
                const int step = abs(h - map[x + TerrainMeshStep + y * TerrainMapSize]);
                maxMeshStep = step > maxMeshStep ? step : maxMeshStep;
            }
            if (y + TerrainMeshStep <= meshLast) {
                const int step = abs(h - map[x + (y + TerrainMeshStep) * TerrainMapSize]);
                maxMeshStep = step > maxMeshStep ? step : maxMeshStep;
            }
        }
    }

    stats->waterShare = (double)water / TerrainMapBytes;
    stats->plantShare = (double)plantLand / TerrainMapBytes;
    stats->maximum = maximum;
    stats->minimum = minimum;
    stats->plantsDrawn = TerrainCountPlants(map);
    stats->maxMeshStep = maxMeshStep;
    stats->maxSampleStep = maxSampleStep;
}
