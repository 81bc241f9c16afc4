// The interposed allocator behind alloc_count.h. The real work is glibc's (__libc_malloc and
// friends); these wrappers only count. The executable's text range, found once before main, tells
// program calls from library calls by the caller's return address.
#include "tools/performance/alloc_count.h"

#include <link.h>
#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
void __libc_free(void* p);
}

namespace {

enum {
    MaxTextSegments = 8,     // of the executable
    MaxObjectSegments = 320  // of all mapped libraries together
};

// The executable's executable segments; written once by FindProgramText before main.
struct ProgramText {
    uintptr_t start[MaxTextSegments];
    uintptr_t end[MaxTextSegments];
    int count;
};

// The libraries' executable segments, sorted by start; written once by AllocCountMapObjects, and
// published by storing segmentCount last.
struct ObjectMap {
    uintptr_t start[MaxObjectSegments];
    uintptr_t end[MaxObjectSegments];
    int object[MaxObjectSegments];  // index into name
    char name[AllocMaxObjects][48];
    int objectCount;
    int filled;                     // segments written so far, before publishing
    std::atomic<int> segmentCount;  // segments visible to the counters
};

ProgramText Text;
ObjectMap Objects;
std::atomic<long long> Calls(0);
std::atomic<long long> ProgramCalls(0);
std::atomic<long long> Frees(0);
std::atomic<long long> ObjectCalls[AllocMaxObjects];
std::atomic<long long> UnmappedCalls(0);
std::atomic<long long> LiveBytes(0);
std::atomic<long long> LiveBlocks(0);

int TextOfFirstObject(struct dl_phdr_info* info, size_t, void*) {
    // The first object reported is the executable itself.
    for (int i = 0; i < info->dlpi_phnum && Text.count < MaxTextSegments; i++) {
        const ElfW(Phdr)* const h = &info->dlpi_phdr[i];
        if (h->p_type == PT_LOAD && (h->p_flags & PF_X)) {
            Text.start[Text.count] = info->dlpi_addr + h->p_vaddr;
            Text.end[Text.count] = info->dlpi_addr + h->p_vaddr + h->p_memsz;
            Text.count++;
        }
    }
    return 1;
}

__attribute__((constructor)) void FindProgramText(void) {
    dl_iterate_phdr(TextOfFirstObject, nullptr);
}

// Adds one library's executable segments to the map, in load order (the executable is skipped).
int MapObject(struct dl_phdr_info* info, size_t, void*) {
    ObjectMap* m = &Objects;
    const char* path = info->dlpi_name;
    if (!path || !path[0] || m->objectCount >= AllocMaxObjects) {
        return 0;
    }
    const char* slash = strrchr(path, '/');
    strncpy(m->name[m->objectCount], slash ? slash + 1 : path, sizeof m->name[0] - 1);
    const int count = m->filled;
    int added = 0;
    for (int i = 0; i < info->dlpi_phnum && count + added < MaxObjectSegments; i++) {
        const ElfW(Phdr)* const h = &info->dlpi_phdr[i];
        if (h->p_type == PT_LOAD && (h->p_flags & PF_X)) {
            m->start[count + added] = info->dlpi_addr + h->p_vaddr;
            m->end[count + added] = info->dlpi_addr + h->p_vaddr + h->p_memsz;
            m->object[count + added] = m->objectCount;
            added++;
        }
    }
    m->objectCount++;
    m->filled = count + added;
    return 0;
}

// The mapped library whose code holds address a, or -1.
int ObjectAt(const uintptr_t a) {
    const int count = Objects.segmentCount.load(std::memory_order_acquire);
    int low = 0, high = count - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        if (a < Objects.start[mid]) {
            high = mid - 1;
        } else if (a >= Objects.end[mid]) {
            low = mid + 1;
        } else {
            return Objects.object[mid];
        }
    }
    return -1;
}

inline void Count(const void* caller) {
    Calls.fetch_add(1, std::memory_order_relaxed);
    const uintptr_t a = (uintptr_t)caller;
    for (int i = 0; i < Text.count; i++) {
        if (a >= Text.start[i] && a < Text.end[i]) {
            ProgramCalls.fetch_add(1, std::memory_order_relaxed);
            return;
        }
    }
    const int object = ObjectAt(a);
    if (object >= 0) {
        ObjectCalls[object].fetch_add(1, std::memory_order_relaxed);
    } else {
        UnmappedCalls.fetch_add(1, std::memory_order_relaxed);
    }
}

// A block handed out: counted live until it is freed.
inline void* Live(void* p) {
    if (p) {
        LiveBytes.fetch_add((long long)malloc_usable_size(p), std::memory_order_relaxed);
        LiveBlocks.fetch_add(1, std::memory_order_relaxed);
    }
    return p;
}

inline void CountFree(void* p) {
    if (p) {
        Frees.fetch_add(1, std::memory_order_relaxed);
        LiveBytes.fetch_sub((long long)malloc_usable_size(p), std::memory_order_relaxed);
        LiveBlocks.fetch_sub(1, std::memory_order_relaxed);
    }
}

// Kept out of line so that the compiler cannot pair them with the frees below and drop both.
__attribute__((noinline)) void* SelfCheckBlock(size_t size) {
    return malloc(size);
}

__attribute__((noinline)) int* SelfCheckObject(void) {
    return new int(7);
}

}  // namespace

#ifndef LIMNORA_ALLOC_COUNT_OFF

extern "C" {

void* malloc(size_t size) {
    Count(__builtin_return_address(0));
    return Live(__libc_malloc(size));
}

void* calloc(size_t count, size_t size) {
    Count(__builtin_return_address(0));
    return Live(__libc_calloc(count, size));
}

void* realloc(void* p, size_t size) {
    Count(__builtin_return_address(0));
    const long long before = p ? (long long)malloc_usable_size(p) : 0;
    void* const q = __libc_realloc(p, size);
    if (q) {
        LiveBytes.fetch_add((long long)malloc_usable_size(q) - before, std::memory_order_relaxed);
        LiveBlocks.fetch_add(p ? 0 : 1, std::memory_order_relaxed);
    } else if (p && size == 0) {
        // glibc frees the block and returns null.
        LiveBytes.fetch_sub(before, std::memory_order_relaxed);
        LiveBlocks.fetch_sub(1, std::memory_order_relaxed);
    }
    return q;
}

void free(void* p) {
    CountFree(p);
    __libc_free(p);
}

void* memalign(size_t alignment, size_t size) {
    Count(__builtin_return_address(0));
    return Live(__libc_memalign(alignment, size));
}

void* aligned_alloc(size_t alignment, size_t size) {
    Count(__builtin_return_address(0));
    return Live(__libc_memalign(alignment, size));
}

void* valloc(size_t size) {
    Count(__builtin_return_address(0));
    return Live(__libc_valloc(size));
}

void* pvalloc(size_t size) {
    Count(__builtin_return_address(0));
    return Live(__libc_pvalloc(size));
}

int posix_memalign(void** out, size_t alignment, size_t size) {
    Count(__builtin_return_address(0));
    // The alignment must be a power of two multiple of sizeof(void*), as glibc checks.
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0 || alignment == 0) {
        return EINVAL;
    }
    void* const p = Live(__libc_memalign(alignment, size));
    if (!p) {
        return ENOMEM;
    }
    *out = p;
    return 0;
}

}  // extern "C"

// operator new goes straight to glibc so that one new counts once, not again in malloc.
static void* CountedNew(size_t size, const void* caller) {
    Count(caller);
    void* const p = Live(__libc_malloc(size ? size : 1));
    if (!p) {
        throw std::bad_alloc();
    }
    return p;
}

void* operator new(size_t size) {
    return CountedNew(size, __builtin_return_address(0));
}

void* operator new[](size_t size) {
    return CountedNew(size, __builtin_return_address(0));
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    Count(__builtin_return_address(0));
    return Live(__libc_malloc(size ? size : 1));
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    Count(__builtin_return_address(0));
    return Live(__libc_malloc(size ? size : 1));
}

// Over-aligned types: charged to the caller here rather than to the C++ library.
static void* CountedAlignedNew(size_t size, std::align_val_t alignment, const void* caller) {
    Count(caller);
    void* const p = Live(__libc_memalign((size_t)alignment, size ? size : 1));
    if (!p) {
        throw std::bad_alloc();
    }
    return p;
}

void* operator new(size_t size, std::align_val_t alignment) {
    return CountedAlignedNew(size, alignment, __builtin_return_address(0));
}

void* operator new[](size_t size, std::align_val_t alignment) {
    return CountedAlignedNew(size, alignment, __builtin_return_address(0));
}

void operator delete(void* p, std::align_val_t) noexcept {
    CountFree(p);
    __libc_free(p);
}

void operator delete[](void* p, std::align_val_t) noexcept {
    CountFree(p);
    __libc_free(p);
}

void operator delete(void* p, size_t, std::align_val_t) noexcept {
    CountFree(p);
    __libc_free(p);
}

void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    CountFree(p);
    __libc_free(p);
}

void operator delete(void* p) noexcept {
    CountFree(p);
    __libc_free(p);
}

void operator delete[](void* p) noexcept {
    CountFree(p);
    __libc_free(p);
}

void operator delete(void* p, size_t) noexcept {
    CountFree(p);
    __libc_free(p);
}

void operator delete[](void* p, size_t) noexcept {
    CountFree(p);
    __libc_free(p);
}

#endif  // LIMNORA_ALLOC_COUNT_OFF

void AllocCountRead(AllocCounts* const out) {
    out->calls = Calls.load(std::memory_order_relaxed);
    out->programCalls = ProgramCalls.load(std::memory_order_relaxed);
    out->frees = Frees.load(std::memory_order_relaxed);
    for (int i = 0; i < AllocMaxObjects; i++) {
        out->objectCalls[i] = ObjectCalls[i].load(std::memory_order_relaxed);
    }
    out->unmappedCalls = UnmappedCalls.load(std::memory_order_relaxed);
    out->liveBytes = LiveBytes.load(std::memory_order_relaxed);
    out->liveBlocks = LiveBlocks.load(std::memory_order_relaxed);
}

// Sorts the segments by start (insertion sort: a few dozen entries, no allocation).
static void SortSegments(ObjectMap* m, const int count) {
    for (int i = 1; i < count; i++) {
        const uintptr_t start = m->start[i], end = m->end[i];
        const int object = m->object[i];
        int j = i - 1;
        for (; j >= 0 && m->start[j] > start; j--) {
            m->start[j + 1] = m->start[j];
            m->end[j + 1] = m->end[j];
            m->object[j + 1] = m->object[j];
        }
        m->start[j + 1] = start;
        m->end[j + 1] = end;
        m->object[j + 1] = object;
    }
}

void AllocCountMapObjects(void) {
    if (Objects.objectCount > 0) {
        return;
    }
    dl_iterate_phdr(MapObject, nullptr);
    SortSegments(&Objects, Objects.filled);
    Objects.segmentCount.store(Objects.filled, std::memory_order_release);
}

int AllocTopObjects(const double* const perObject, const int wanted, int* const top) {
    int found = 0;
    for (; found < wanted; found++) {
        int best = -1;
        for (int i = 0; i < Objects.objectCount; i++) {
            int taken = 0;
            for (int k = 0; k < found; k++) {
                taken = taken || top[k] == i;
            }
            if (!taken && perObject[i] > 0 && (best < 0 || perObject[i] > perObject[best])) {
                best = i;
            }
        }
        if (best < 0) {
            break;
        }
        top[found] = best;
    }
    return found;
}

const char* AllocObjectName(const int index) {
    return index >= 0 && index < Objects.objectCount ? Objects.name[index] : nullptr;
}

int AllocCountAvailable(void) {
#ifdef LIMNORA_ALLOC_COUNT_OFF
    return 0;
#else
    return 1;
#endif
}

int AllocCountSelfCheck(void) {
    AllocCounts before, held, after;
    AllocCountRead(&before);
    void* block = SelfCheckBlock(24);
    int* const value = SelfCheckObject();
    block = realloc(block, 4000);  // grows in place or moves: one live block either way
    // Through a volatile pointer, so that the compiler cannot turn strdup into malloc here.
    static char text[] = "counted in the C library";
    char* volatile source = text;
    char* const copy = strdup(source);
    AllocCountRead(&held);
    free(copy);
    free(block);
    delete value;
    AllocCountRead(&after);
    // malloc, new and realloc from here are the executable's; strdup's malloc is the library's.
    const int charged =
        held.programCalls - before.programCalls == 3 && held.calls - before.calls == 4;
    const int live = held.liveBlocks - before.liveBlocks == 3 &&
                     held.liveBytes - before.liveBytes >= 4000 + (long long)sizeof(int) + 25;
    const int released = after.liveBlocks == before.liveBlocks &&
                         after.liveBytes == before.liveBytes && after.frees - before.frees == 3;
    return charged && live && released;
}
