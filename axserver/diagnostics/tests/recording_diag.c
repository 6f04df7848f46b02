/* A diagnostics library for tests: appends every call to the file $TBDIAG_LOG. The answers come
 * from $TBDIAG_VERSION (default 6) and $TBDIAG_RESULT (default 0). */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

struct ManifestRecord {
    int32_t first;
    int32_t second;
    const char* manifest;
    int32_t last;
};

static void record(const char* line) {
    const char* path = getenv("TBDIAG_LOG");
    FILE* f = path ? fopen(path, "a") : NULL;
    if (f) {
        fputs(line, f);
        fputc('\n', f);
        fclose(f);
    }
}

static int32_t envNumber(const char* name, int32_t fallback) {
    const char* v = getenv(name);
    return v ? (int32_t)atoi(v) : fallback;
}

int32_t FCLibraryVersion(int32_t query) {
    char line[64];
    snprintf(line, sizeof line, "FCLibraryVersion %d", query);
    record(line);
    return envNumber("TBDIAG_VERSION", 6);
}

int32_t FCInitializeWithManifestInternal(int32_t query, const char* manifest) {
    char line[256];
    snprintf(line, sizeof line, "FCInitializeWithManifestInternal %d %s", query, manifest);
    record(line);
    return envNumber("TBDIAG_RESULT", 0);
}

#ifndef WITHOUT_EX
int32_t FCInitializeWithManifestInternalEx(struct ManifestRecord* r) {
    char line[256];
    snprintf(line, sizeof line, "FCInitializeWithManifestInternalEx %d %d %s %d", r->first,
             r->second, r->manifest, r->last);
    record(line);
    return envNumber("TBDIAG_RESULT", 0);
}
#endif

/* Never to be called by the host. */
void FCCleanup(void) {
    record("FCCleanup");
}
int32_t FCTraceInternal(const char* text) {
    (void)text;
    record("FCTraceInternal");
    return 0;
}
