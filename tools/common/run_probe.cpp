// Run probes (run_probe.h): plain system and GL queries, no allocation.
#define GL_GLEXT_PROTOTYPES 1

#include "tools/common/run_probe.h"

#include <fcntl.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gl.h"

#include <GL/glext.h>

double MonotonicMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1000.0 + (double)now.tv_nsec / 1e6;
}

double ThreadCpuMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return (double)now.tv_sec * 1000.0 + (double)now.tv_nsec / 1e6;
}

double ProcessCpuMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return (double)now.tv_sec * 1000.0 + (double)now.tv_nsec / 1e6;
}

long long HeapInUseBytes(void) {
    const struct mallinfo2 info = mallinfo2();
    return (long long)(info.uordblks + info.hblkhd);
}

long ResidentSetKilobytes(void) {
    // statm: size, resident, ... in pages; read into a fixed buffer rather than a stream.
    char text[128];
    const int fd = open("/proc/self/statm", O_RDONLY);
    if (fd < 0) {
        return -1;
    }
    const ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0) {
        return -1;
    }
    text[got] = '\0';
    char* rest = nullptr;
    strtol(text, &rest, 10);
    const long pages = strtol(rest, nullptr, 10);
    return pages * (sysconf(_SC_PAGESIZE) / 1024);
}

int GlListsInUse(const int highest) {
    int live = 0;
    for (int name = 1; name <= highest; name++) {
        live += glIsList((GLuint)name) == GL_TRUE;
    }
    return live;
}

int GlShaderObjectsInUse(const int highest) {
    int live = 0;
    for (int name = 1; name <= highest; name++) {
        live += glIsShader((GLuint)name) == GL_TRUE || glIsProgram((GLuint)name) == GL_TRUE;
    }
    return live;
}

static int CompareDoubles(const void* a, const void* b) {
    const double x = *(const double*)a;
    const double y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

double MedianOf(double* const values, const int count) {
    if (count <= 0) {
        return 0.0;
    }
    qsort(values, (size_t)count, sizeof values[0], CompareDoubles);
    if (count % 2 == 1) {
        return values[count / 2];
    }
    return (values[count / 2 - 1] + values[count / 2]) / 2;
}

long long CallgrindTotal(const char* const path) {
    FILE* file = fopen(path, "r");
    if (!file) {
        return -1;
    }
    char line[1024];
    long long total = -1;
    while (fgets(line, sizeof line, file)) {
        const char* value = nullptr;
        if (!strncmp(line, "summary:", 8)) {
            value = line + 8;
        } else if (!strncmp(line, "totals:", 7)) {
            value = line + 7;
        }
        char* end = nullptr;
        const long long v = value ? strtoll(value, &end, 10) : 0;
        if (value && end != value) {
            total = v;
        }
    }
    fclose(file);
    return total;
}
