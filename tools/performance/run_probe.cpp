// Run probes (run_probe.h): plain system queries, no allocation; the GL ones are in
// run_probe_gl.cpp.
#include "tools/performance/run_probe.h"

#include <fcntl.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Object ids seen with a matching name: the file names each object once and then gives its id only.
struct CallgrindObjects {
    enum { Max = 64 };
    long ids[Max];
    int count;
};

// Whether the object of an "ob=" or "cob=" value matches `objectPart`. The value is a plain name,
// a name-compressed "(id) name" (whose id is remembered when the name matches) or "(id)" alone.
static int CallgrindObjectMatches(const char* value, const char* objectPart,
                                  CallgrindObjects* seen) {
    if (value[0] != '(') {
        return strstr(value, objectPart) != nullptr;
    }
    char* end = nullptr;
    const long id = strtol(value + 1, &end, 10);
    if (*end == ')' && end[1] == ' ') {
        const int matches = strstr(end + 2, objectPart) != nullptr;
        if (matches && seen->count < CallgrindObjects::Max) {
            seen->ids[seen->count++] = id;
        }
        return matches;
    }
    for (int k = 0; k < seen->count; k++) {
        if (seen->ids[k] == id) {
            return 1;
        }
    }
    return 0;
}

long long CallgrindSelfInObjects(const char* const path, const char* const objectPart) {
    FILE* file = fopen(path, "r");
    if (!file) {
        return -1;
    }
    CallgrindObjects seen;
    seen.count = 0;
    int positions = 1;       // position columns before the events on a cost line
    int inMatching = 0;      // the current function belongs to a matching object
    int nextIsCallCost = 0;  // the line after "calls=" holds the callee's inclusive cost
    long long total = 0;
    char line[4096];
    while (fgets(line, sizeof line, file)) {
        line[strcspn(line, "\n")] = '\0';
        if (!strncmp(line, "positions:", 10)) {
            positions = 0;
            for (const char* s = line + 10; *s; s++) {
                positions += s[0] != ' ' && (s[-1] == ' ' || s[-1] == ':');
            }
            continue;
        }
        if (!strncmp(line, "ob=", 3)) {
            inMatching = CallgrindObjectMatches(line + 3, objectPart, &seen);
            continue;
        }
        if (!strncmp(line, "cob=", 4)) {
            // A called object named here for the first time must be known when it appears as "ob=".
            CallgrindObjectMatches(line + 4, objectPart, &seen);
            continue;
        }
        if (!strncmp(line, "calls=", 6)) {
            nextIsCallCost = 1;
            continue;
        }
        const int isCost = (line[0] >= '0' && line[0] <= '9') || line[0] == '+' || line[0] == '-' ||
                           line[0] == '*';
        if (!isCost) {
            continue;
        }
        if (nextIsCallCost) {
            nextIsCallCost = 0;
            continue;
        }
        if (!inMatching) {
            continue;
        }
        // Skip the positions; the first event follows (absent means 0).
        const char* s = line;
        for (int k = 0; k < positions && s; k++) {
            s = strchr(s, ' ');
            s = s ? s + 1 : nullptr;
        }
        if (s) {
            total += strtoll(s, nullptr, 10);
        }
    }
    fclose(file);
    return total;
}
