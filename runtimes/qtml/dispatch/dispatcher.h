#pragma once
// The selector table: for each selector of qtml.h, how many arguments it takes and the operation
// that answers it. The library's entry points read the arguments and call dispatch.
//
// Threads: any; dispatch takes the runtime's lock around the operation (a synchronous movie open
// takes it itself). Error policy: find answers null for an unknown selector (the caller answers
// QTML_ERR_UNIMPLEMENTED); dispatch never throws.

#include <cstdint>

#include "runtimes/qtml/dispatch/runtime.h"

namespace kinvo::qtml {

using Operation = intptr_t (*)(Runtime& runtime, const intptr_t* args) noexcept;

struct SelectorEntry {
    uint32_t selector;
    int arity;         // arguments after the selector, at most kMaxArity
    bool locksItself;  // the operation takes the runtime's lock itself
    Operation operation;
};

inline constexpr int kMaxArity = 6;

const SelectorEntry* findSelector(uint32_t selector) noexcept;
intptr_t dispatch(Runtime& runtime, const SelectorEntry& entry, const intptr_t* args) noexcept;

}  // namespace kinvo::qtml
