// Movie controllers and the component calls they answer. Every action is offered to the
// controller's action filter first, on the calling thread; an action the filter consumes is not
// performed. The filter may call back into the runtime (the lock is recursive) and may even
// dispose the controller: it is looked up again after each offer.
#include <algorithm>

#include "runtimes/qtml/dispatch/movie_drawing.h"
#include "runtimes/qtml/dispatch/operations.h"

namespace kinvo::qtml::operations {
namespace {

// True when the controller's filter consumed the action.
bool offer(Runtime& runtime, intptr_t key, int32_t action, intptr_t argument) {
    const Controller* controller = runtime.controllers.find(key);
    if (controller == nullptr || controller->filter == nullptr) {
        return false;
    }
    return controller->filter(key, action, argument, controller->refCon) != 0;
}

intptr_t perform(MovieEntry& entry, int32_t action, intptr_t argument) {
    switch (action) {
        case QTML_ACTION_PLAY:
        case QTML_ACTION_PREROLL_AND_PLAY:
            if (argument != 0) {
                entry.movie.start();
            } else {
                entry.movie.stop();
            }
            return 0;
        case QTML_ACTION_GO_TO_TIME: {
            const auto* time = reinterpret_cast<const QtmlTimeRecord*>(argument);
            if (time == nullptr || time->scale <= 0) {
                return QTML_ERR_PARAM;
            }
            entry.movie.goToTime(time->value * entry.movie.timeScale() / time->scale);
            return 0;
        }
        case QTML_ACTION_SET_VOLUME:
            entry.movie.setVolume(static_cast<int>(std::clamp<intptr_t>(argument, 0, 256)));
            return 0;
        default:
            return 0;  // an action this controller has nothing to do for
    }
}

intptr_t doAction(Runtime& runtime, intptr_t key, int32_t action, intptr_t argument) {
    if (offer(runtime, key, action, argument)) {
        return 0;
    }
    const Controller* controller = runtime.controllers.find(key);
    MovieEntry* entry = controller != nullptr ? runtime.movies.find(controller->movie) : nullptr;
    if (entry == nullptr) {
        return QTML_ERR_PARAM;
    }
    const intptr_t result = perform(*entry, action, argument);
    if (action == QTML_ACTION_PREROLL_AND_PLAY && result == 0) {
        offer(runtime, key, QTML_ACTION_PLAY, argument);  // reported; the play has started
    }
    return result;
}

intptr_t isPlayerEvent(Runtime& runtime, const Controller& controller, const QtmlEvent* event) {
    MovieEntry* entry = runtime.movies.find(controller.movie);
    if (event == nullptr || entry == nullptr || event->what != QTML_EVENT_UPDATE) {
        return 0;
    }
    drawMovie(runtime, *entry, true);
    return 1;
}

}  // namespace

intptr_t newController(Runtime& runtime, const intptr_t* args) noexcept {
    if (runtime.movies.find(args[0]) == nullptr) {
        runtime.moviesError = QTML_ERR_PARAM;
        return 0;
    }
    auto controller = std::unique_ptr<Controller>(new (std::nothrow) Controller);
    if (!controller) {
        runtime.moviesError = QTML_ERR_MEMORY;
        return 0;
    }
    controller->movie = args[0];
    if (const auto* box = reinterpret_cast<const QtmlRect*>(args[1])) {
        controller->box = *box;
    }
    controller->flags = static_cast<uint32_t>(args[2]);
    const intptr_t key = reinterpret_cast<intptr_t>(controller.get());
    return runtime.controllers.add(key, std::move(controller)) ? key : 0;
}

intptr_t disposeController(Runtime& runtime, const intptr_t* args) noexcept {
    runtime.controllers.take(args[0]);
    return 0;
}

intptr_t callComponent(Runtime& runtime, const intptr_t* args) noexcept {
    const intptr_t key = args[0];
    const auto* block = reinterpret_cast<const QtmlComponentParams*>(args[1]);
    Controller* controller = runtime.controllers.find(key);
    if (controller == nullptr || block == nullptr) {
        return QTML_ERR_PARAM;
    }
    intptr_t params[8] = {};
    const size_t count = std::min<size_t>(block->paramSize / sizeof(intptr_t), 8);
    std::copy_n(block->params, count, params);
    switch (block->what) {
        case QTML_MC_IS_PLAYER_EVENT:
            return isPlayerEvent(runtime, *controller, reinterpret_cast<QtmlEvent*>(params[0]));
        case QTML_MC_DO_ACTION:
            return doAction(runtime, key, static_cast<int32_t>(params[0]), params[1]);
        case QTML_MC_SET_ACTION_FILTER:
            controller->filter = reinterpret_cast<QtmlActionFilter>(params[0]);
            controller->refCon = params[1];
            return 0;
        default:
            return QTML_ERR_UNIMPLEMENTED;
    }
}

}  // namespace kinvo::qtml::operations
