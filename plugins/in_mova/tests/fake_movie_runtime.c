/* A stand-in movie runtime for the plug-in's tests. A movie is described by its address: the
 * part after the last "/" holds comma-separated settings, e.g. "file:///x/title=Hi,dur=1200,
 * load=1000.-1,err=-50.mov": title the name text, dur the length in units of 600 a second, load
 * the load states answered one per query (the last repeats; 20000 by default), err an error the
 * movie toolbox reports once the movie plays; "fail" in the address: no movie can be made. What
 * is alive is counted in exported counters the tests read under fakeLock. */
#define _GNU_SOURCE
#include <pthread.h>
#include <qtml/qtml.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define FAKE_EXPORT __attribute__((visibility("default")))

FAKE_EXPORT int fakeInits, fakeTerms, fakeEnterDepth, fakeMovies, fakeControllers, fakeBuffers;
FAKE_EXPORT int fakeHandles, fakeNewMovieFlags;
FAKE_EXPORT char fakeLastAddress[1024];

typedef struct Movie {
    int64_t duration;
    char title[256];
    int32_t load[8];
    int loads, loadIndex, error, controller;
} Movie;

typedef struct Handle {
    char* bytes; /* first: the handle is the address of this pointer */
    intptr_t size;
} Handle;

static int16_t moviesError;
static pthread_mutex_t lock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;
FAKE_EXPORT void fakeLock(void) {
    pthread_mutex_lock(&lock);
}
FAKE_EXPORT void fakeUnlock(void) {
    pthread_mutex_unlock(&lock);
}

static void parse(Movie* m, const char* address) {
    char settings[1024];
    snprintf(settings, sizeof(settings), "%s", strrchr(address, '/') + 1);
    *strrchr(settings, '.') = '\0';
    m->duration = 6000;
    m->load[0] = QTML_LOAD_PLAYTHROUGH;
    m->loads = 1;
    for (char* token = strtok(settings, ","); token != NULL; token = strtok(NULL, ",")) {
        long duration = 0;
        if (sscanf(token, "dur=%ld", &duration) == 1) {
            m->duration = duration;
        } else if (sscanf(token, "err=%d", &m->error) != 1 &&
                   sscanf(token, "title=%255s", m->title) != 1 && strncmp(token, "load=", 5) == 0) {
            m->loads = 0;
            for (char* p = token + 5; *p != '\0' && m->loads < 8; p += *p == '.') {
                m->load[m->loads++] = (int32_t)strtol(p, &p, 10);
            }
        }
    }
}

static Handle* newHandle(intptr_t size) {
    Handle* h = calloc(1, sizeof(Handle));
    h->size = size;
    h->bytes = calloc(1, (size_t)size + 1);
    ++fakeHandles;
    return h;
}

static intptr_t dispatch(uint32_t selector, const intptr_t* a) {
    Movie* m = (Movie*)a[0];
    switch (selector) {
        case QTML_INITIALIZE:
            return ++fakeInits, 0;
        case QTML_TERMINATE:
            return ++fakeTerms, 0;
        case QTML_REGISTER_WINDOW:
        case QTML_WINDOW_PORT:
            return a[0] + 0x10000;
        case QTML_NEW_HANDLE:
            return (intptr_t)newHandle(a[0]);
        case QTML_DISPOSE_HANDLE:
            free(((Handle*)a[0])->bytes);
            free((Handle*)a[0]);
            return --fakeHandles, 0;
        case QTML_HANDLE_SIZE:
            return ((Handle*)a[0])->size;
        case QTML_COPY_BYTES:
            return memmove((void*)a[1], (const void*)a[0], (size_t)a[2]), 0;
        case QTML_ENTER_MOVIES:
            return ++fakeEnterDepth, 0;
        case QTML_EXIT_MOVIES:
            return --fakeEnterDepth, 0;
        case QTML_MOVIES_ERROR:
            return moviesError;
        case QTML_CLEAR_MOVIES_ERROR:
            return moviesError = 0;
        case QTML_NEW_MOVIE_FROM_REF: {
            const char* address = *(char**)a[3];
            snprintf(fakeLastAddress, sizeof(fakeLastAddress), "%s", address);
            fakeNewMovieFlags = (int)a[1];
            if (strstr(address, "fail") != NULL) {
                return QTML_ERR_BAD_MOVIE;
            }
            Movie* movie = calloc(1, sizeof(Movie));
            parse(movie, address);
            *(intptr_t*)a[0] = (intptr_t)movie;
            return ++fakeMovies, 0;
        }
        case QTML_DISPOSE_MOVIE:
            return free(m), --fakeMovies, 0;
        case QTML_LOAD_STATE: {
            const int32_t state = m->load[m->loadIndex];
            m->loadIndex += m->loadIndex + 1 < m->loads;
            return state;
        }
        case QTML_MOVIES_TASK:
            if (m->controller && m->error != 0) {
                moviesError = (int16_t)m->error;
                m->error = 0;
            }
            return 0;
        case QTML_NATURAL_BOX:
            return *(QtmlRect*)a[1] = (QtmlRect){0, 0, 240, 320}, 0;
        case QTML_TIME_SCALE:
            return 600;
        case QTML_DURATION:
            return (intptr_t)m->duration;
        case QTML_USER_DATA:
            return m->title[0] != '\0' ? (intptr_t)m : 0;
        case QTML_USER_DATA_TEXT: {
            Handle* h = (Handle*)a[1];
            h->size = (intptr_t)strlen(m->title);
            h->bytes = realloc(h->bytes, (size_t)h->size + 1);
            return memcpy(h->bytes, m->title, (size_t)h->size + 1), 0;
        }
        case QTML_NEW_CONTROLLER:
            return m->controller = 1, ++fakeControllers, (intptr_t)m;
        case QTML_DISPOSE_CONTROLLER:
            return --fakeControllers, 0;
        case QTML_NEW_BUFFER:
            return *(intptr_t*)a[0] = (intptr_t)malloc(1), ++fakeBuffers, 0;
        case QTML_DISPOSE_BUFFER:
            return free((void*)a[0]), --fakeBuffers, 0;
        default:
            return 0;
    }
}

FAKE_EXPORT intptr_t theQuickTimeDispatcher(uint32_t selector, ...) {
    /* Five arguments come in registers, so reading them never reaches past the caller's own. */
    intptr_t a[5];
    va_list ap;
    va_start(ap, selector);
    for (int i = 0; i < 5; ++i) {
        a[i] = va_arg(ap, intptr_t);
    }
    va_end(ap);
    pthread_mutex_lock(&lock);
    const intptr_t result = dispatch(selector, a);
    pthread_mutex_unlock(&lock);
    return result;
}

FAKE_EXPORT intptr_t _CallComponent(intptr_t instance, QtmlComponentParams* params) {
    return theQuickTimeDispatcher(QTML_CALL_COMPONENT, instance, params);
}

FAKE_EXPORT intptr_t _CallComponentFunctionWithStorage(intptr_t storage,
                                                       QtmlComponentParams* params,
                                                       QtmlComponentFunction function) {
    return function != NULL ? function(storage, params) : 0;
}
