// The library's three exported entry points over the selector table. The runtime's one record
// lives here and only these functions reach it; it goes when the library is unloaded (its movies
// stop, its display connection closes). Nothing throws out of an entry point.
#include <cstdarg>

#include "runtimes/qtml/dispatch/dispatcher.h"
#include "runtimes/qtml/include/qtml/qtml.h"

#define QTML_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

kinvo::qtml::Runtime& theRuntime() {
    static kinvo::qtml::Runtime runtime;
    return runtime;
}

}  // namespace

// Reads exactly as many arguments as the selector takes, each as an intptr_t.
QTML_EXPORT intptr_t theQuickTimeDispatcher(uint32_t selector, ...) {
    const kinvo::qtml::SelectorEntry* entry = kinvo::qtml::findSelector(selector);
    if (entry == nullptr) {
        return QTML_ERR_UNIMPLEMENTED;
    }
    intptr_t args[kinvo::qtml::kMaxArity] = {};
    va_list list;
    va_start(list, selector);
    for (int i = 0; i < entry->arity; ++i) {
        args[i] = va_arg(list, intptr_t);
    }
    va_end(list);
    return kinvo::qtml::dispatch(theRuntime(), *entry, args);
}

QTML_EXPORT intptr_t _CallComponent(intptr_t instance, QtmlComponentParams* params) {
    const intptr_t args[] = {instance, reinterpret_cast<intptr_t>(params)};
    return kinvo::qtml::dispatch(theRuntime(), *kinvo::qtml::findSelector(QTML_CALL_COMPONENT),
                                 args);
}

QTML_EXPORT intptr_t _CallComponentFunctionWithStorage(intptr_t storage,
                                                       QtmlComponentParams* params,
                                                       QtmlComponentFunction function) {
    return function != nullptr ? function(storage, params) : 0;
}
