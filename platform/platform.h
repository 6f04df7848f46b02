#pragma once
// libsonari-platform: the Windows facilities the system was written against, over their Linux
// counterparts. Include the header of the facility you use; this one gathers them all and holds
// the rules they share.
//
// Error policy. Every call reports failure the way its Windows counterpart did, by its result:
// 0, false, nullptr, an empty text, nullopt, or a status enum where the caller must tell kinds of
// failure apart (RegStatus). No function throws, and none lets an exception out; nothing calls
// abort for bad input. Reasons a developer may want to see go to the debug trace (VEXA_DEBUG).
// assert() is used only for faults of this library itself.
//
// Threading. The message layer (messages.h) is one process-wide object: each thread has its own
// queue, a window belongs to the thread that made it and its procedure runs only there; posting,
// sending, isWindow and the text and class queries may come from any thread. The named mutex
// table and the registry are thread-safe. Every other object (SharedMemory, Mapping, Library,
// ChangeWatch, ChildProcess) is used by one thread at a time, and every free function is
// thread-safe. Descriptors are opened close-on-exec, so started programs inherit none.
//
// Lifetimes. Every C handle sits in a move-only owner (UniqueFd, Mapping, SharedMemory, Library,
// ChangeWatch) whose destructor releases it and never fails.

#include "platform/change_watch.h"
#include "platform/debug_trace.h"
#include "platform/file_search.h"
#include "platform/library.h"
#include "platform/message_types.h"
#include "platform/messages.h"
#include "platform/named_mutex.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/profile_file.h"
#include "platform/registry.h"
#include "platform/shared_memory.h"
#include "platform/temp_files.h"
#include "platform/window_backend.h"
