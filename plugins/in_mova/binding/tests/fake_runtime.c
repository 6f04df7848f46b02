/* A stand-in for the runtime library, for the binding's tests: counts initialise and terminate
 * calls and answers FAKE_INIT_ERROR to initialise with flags 99. Built twice: with every entry,
 * and without _CallComponent (FAKE_WITHOUT_CALL_COMPONENT). */
#include <stdarg.h>
#include <stdint.h>

#include <qtml/qtml.h>

#define FAKE_EXPORT __attribute__((visibility("default")))
#define FAKE_INIT_ERROR (-7)

FAKE_EXPORT int fakeInitCalls = 0;
FAKE_EXPORT int fakeTermCalls = 0;

FAKE_EXPORT intptr_t theQuickTimeDispatcher(uint32_t selector, ...) {
    va_list args;
    va_start(args, selector);
    intptr_t result = QTML_ERR_UNIMPLEMENTED;
    if (selector == QTML_INITIALIZE) {
        const intptr_t flags = va_arg(args, intptr_t);
        result = flags == 99 ? FAKE_INIT_ERROR : 0;
        fakeInitCalls += result == 0;
    } else if (selector == QTML_TERMINATE) {
        ++fakeTermCalls;
        result = 0;
    }
    va_end(args);
    return result;
}

#ifndef FAKE_WITHOUT_CALL_COMPONENT
FAKE_EXPORT intptr_t _CallComponent(intptr_t instance, QtmlComponentParams* params) {
    return theQuickTimeDispatcher(QTML_CALL_COMPONENT, instance, params);
}
#endif

FAKE_EXPORT intptr_t _CallComponentFunctionWithStorage(intptr_t storage,
                                                       QtmlComponentParams* params,
                                                       QtmlComponentFunction function) {
    return function != 0 ? function(storage, params) : 0;
}
