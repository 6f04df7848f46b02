/* A stand-in movie runtime for the plug-in's tests. A movie is described by its address: the
 * part after the last "/" holds comma-separated settings, e.g.
 *   "file:///x/dur=6000,scale=600,box=320x240,title=Hi,load=1000.15000.20000,tasks=5,err=-50.mov"
 * dur and scale give the length, box the natural size, title the name text, load the load states
 * answered one per query (the last repeats), tasks the task passes after which a playing movie is
 * done, err an error the movie toolbox reports once the controller exists, "fail" a movie that
 * cannot be made. What the plug-in did is kept in exported counters the tests read. */
#define _GNU_SOURCE
#include <pthread.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <qtml/qtml.h>

#define FAKE_EXPORT __attribute__((visibility("default")))

FAKE_EXPORT int fakeInits, fakeTerms, fakeEnterDepth, fakeMovies, fakeControllers, fakeBuffers;
FAKE_EXPORT int fakeHandles, fakeNewMovieFlags, fakeVolume = -1, fakePlayRate = -1;
FAKE_EXPORT int64_t fakeGoTo = -1;
FAKE_EXPORT QtmlRect fakeMovieBox;
FAKE_EXPORT intptr_t fakeMoviePort;
FAKE_EXPORT char fakeLastAddress[1024];

typedef struct Movie {
    int64_t duration, current;
    int32_t scale;
    QtmlRect box;
    char title[256];
    int32_t load[8];
    int loads, loadIndex;
    int tasks, taskCount, playing, error, errorRaised;
    QtmlActionFilter filter;
    intptr_t refCon;
    int controller;
} Movie;

typedef struct Handle {
    char* bytes; /* first: the handle is the address of this pointer */
    intptr_t size;
} Handle;

static int16_t moviesError;
/* Every call and every read of the counters is made under this lock (the plug-in calls from two
 * threads; the tests read while its thread runs). */
static pthread_mutex_t lock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;
FAKE_EXPORT void fakeLock(void) {
    pthread_mutex_lock(&lock);
}
FAKE_EXPORT void fakeUnlock(void) {
    pthread_mutex_unlock(&lock);
}

static void parse(Movie* m, const char* address) {
    const char* name = strrchr(address, '/');
    char settings[1024];
    snprintf(settings, sizeof(settings), "%s", name != NULL ? name + 1 : address);
    char* dot = strrchr(settings, '.');
    if (dot != NULL) {
        *dot = '\0';
    }
    m->scale = 600;
    m->duration = 6000;
    m->box = (QtmlRect){0, 0, 240, 320};
    m->load[0] = QTML_LOAD_PLAYTHROUGH;
    m->loads = 1;
    m->tasks = 1000000;
    for (char* token = strtok(settings, ","); token != NULL; token = strtok(NULL, ",")) {
        int w = 0, h = 0;
        if (sscanf(token, "dur=%ld", (long*)&m->duration) == 1 ||
            sscanf(token, "scale=%d", &m->scale) == 1 ||
            sscanf(token, "tasks=%d", &m->tasks) == 1 || sscanf(token, "err=%d", &m->error) == 1 ||
            sscanf(token, "title=%255s", m->title) == 1) {
            continue;
        }
        if (sscanf(token, "box=%dx%d", &w, &h) == 2) {
            m->box = (QtmlRect){0, 0, (int16_t)h, (int16_t)w};
        } else if (strncmp(token, "load=", 5) == 0) {
            m->loads = 0;
            for (char* p = token + 5; *p != '\0' && m->loads < 8;) {
                m->load[m->loads++] = (int32_t)strtol(p, &p, 10);
                p += *p == '.';
            }
        }
    }
}

static intptr_t component(Movie* m, const QtmlComponentParams* block) {
    const intptr_t* p = block->params;
    if (block->what == QTML_MC_SET_ACTION_FILTER) {
        m->filter = (QtmlActionFilter)p[0];
        m->refCon = p[1];
    } else if (block->what == QTML_MC_DO_ACTION) {
        const int32_t action = (int32_t)p[0];
        if (action == QTML_ACTION_PLAY || action == QTML_ACTION_PREROLL_AND_PLAY) {
            m->playing = p[1] != 0;
            fakePlayRate = (int)p[1];
            if (m->filter != NULL) {
                m->filter((intptr_t)&m->controller, QTML_ACTION_PLAY, p[1], m->refCon);
            }
        } else if (action == QTML_ACTION_GO_TO_TIME) {
            m->current = ((const QtmlTimeRecord*)p[1])->value;
            fakeGoTo = m->current;
        } else if (action == QTML_ACTION_SET_VOLUME) {
            fakeVolume = (int)p[1];
        }
    }
    return 0;
}

static intptr_t dispatch(uint32_t selector, const intptr_t* a);

FAKE_EXPORT intptr_t theQuickTimeDispatcher(uint32_t selector, ...) {
    va_list ap;
    va_start(ap, selector);
    /* Five arguments come in registers, so reading them never reaches past the caller's own. */
    intptr_t a[5];
    for (int i = 0; i < 5; ++i) {
        a[i] = va_arg(ap, intptr_t);
    }
    va_end(ap);
    pthread_mutex_lock(&lock);
    const intptr_t result = dispatch(selector, a);
    pthread_mutex_unlock(&lock);
    return result;
}

static intptr_t dispatch(uint32_t selector, const intptr_t* a) {
    Movie* m = (Movie*)a[0];
    switch (selector) {
        case QTML_INITIALIZE:
            ++fakeInits;
            return 0;
        case QTML_TERMINATE:
            ++fakeTerms;
            return 0;
        case QTML_REGISTER_WINDOW:
        case QTML_WINDOW_PORT:
            return a[0] + 0x10000;
        case QTML_WINDOW_EVENT:
            memset((void*)a[1], 0, sizeof(QtmlEvent));
            return 0;
        case QTML_MEM_ERROR:
            return 0;
        case QTML_NEW_HANDLE: {
            Handle* h = calloc(1, sizeof(Handle));
            h->size = a[0];
            h->bytes = calloc(1, (size_t)a[0] + 1);
            ++fakeHandles;
            return (intptr_t)h;
        }
        case QTML_DISPOSE_HANDLE:
            free(((Handle*)a[0])->bytes);
            free((Handle*)a[0]);
            --fakeHandles;
            return 0;
        case QTML_HANDLE_SIZE:
            return ((Handle*)a[0])->size;
        case QTML_COPY_BYTES:
            memmove((void*)a[1], (const void*)a[0], (size_t)a[2]);
            return 0;
        case QTML_ENTER_MOVIES:
            ++fakeEnterDepth;
            return 0;
        case QTML_EXIT_MOVIES:
            --fakeEnterDepth;
            return 0;
        case QTML_MOVIES_ERROR:
            return moviesError;
        case QTML_CLEAR_MOVIES_ERROR:
            moviesError = 0;
            return 0;
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
            ++fakeMovies;
            return 0;
        }
        case QTML_DISPOSE_MOVIE:
            free(m);
            --fakeMovies;
            return 0;
        case QTML_LOAD_STATE: {
            const int32_t state = m->load[m->loadIndex];
            m->loadIndex += m->loadIndex + 1 < m->loads;
            return state;
        }
        case QTML_MOVIES_TASK:
            if (m->controller && m->error != 0 && !m->errorRaised) {
                m->errorRaised = 1;
                moviesError = (int16_t)m->error;
            }
            if (m->playing) {
                ++m->taskCount;
                m->current += m->scale / 100;
            }
            return 0;
        case QTML_IS_MOVIE_DONE:
            return m->taskCount >= m->tasks;
        case QTML_SET_MOVIE_PORT:
            fakeMoviePort = a[1];
            return 0;
        case QTML_NATURAL_BOX:
            *(QtmlRect*)a[1] = m->box;
            return 0;
        case QTML_SET_MOVIE_BOX:
            fakeMovieBox = *(const QtmlRect*)a[1];
            return 0;
        case QTML_TIME_SCALE:
            return m->scale;
        case QTML_DURATION:
            return (intptr_t)m->duration;
        case QTML_TIME_BASE:
            return 77;
        case QTML_CURRENT_TIME: {
            QtmlTimeRecord* r = (QtmlTimeRecord*)a[1];
            r->value = m->current;
            r->scale = m->scale;
            return (intptr_t)m->current;
        }
        case QTML_TIME_RANGE:
            *(int64_t*)a[1] = 0;
            *(int64_t*)a[2] = m->duration;
            return 0;
        case QTML_USER_DATA:
            return m->title[0] != '\0' ? (intptr_t)m : 0;
        case QTML_USER_DATA_TEXT: {
            Movie* owner = (Movie*)a[0];
            Handle* h = (Handle*)a[1];
            const size_t length = strlen(owner->title);
            free(h->bytes);
            h->bytes = malloc(length + 1);
            memcpy(h->bytes, owner->title, length + 1);
            h->size = (intptr_t)length;
            return 0;
        }
        case QTML_NEW_CONTROLLER:
            m->controller = 1;
            ++fakeControllers;
            return (intptr_t)&m->controller;
        case QTML_DISPOSE_CONTROLLER:
            --fakeControllers;
            return 0;
        case QTML_NEW_BUFFER:
            *(intptr_t*)a[0] = (intptr_t)malloc(1);
            ++fakeBuffers;
            return 0;
        case QTML_UPDATE_BUFFER:
            return 0;
        case QTML_DISPOSE_BUFFER:
            free((void*)a[0]);
            --fakeBuffers;
            return 0;
        case QTML_CALL_COMPONENT: {
            Movie* owner = (Movie*)(a[0] - (intptr_t)offsetof(Movie, controller));
            return component(owner, (const QtmlComponentParams*)a[1]);
        }
        default:
            return 0;
    }
}

FAKE_EXPORT intptr_t _CallComponent(intptr_t instance, QtmlComponentParams* params) {
    return theQuickTimeDispatcher(QTML_CALL_COMPONENT, instance, params);
}

FAKE_EXPORT intptr_t _CallComponentFunctionWithStorage(intptr_t storage,
                                                       QtmlComponentParams* params,
                                                       QtmlComponentFunction function) {
    return function != NULL ? function(storage, params) : 0;
}
