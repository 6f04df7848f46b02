#include "runtimes/qtml/dispatch/dispatcher.h"

#include <mutex>

#include "runtimes/qtml/dispatch/operations.h"

namespace kinvo::qtml {
namespace {

namespace op = operations;

constexpr SelectorEntry kSelectors[] = {
    {QTML_INITIALIZE, 1, false, op::initialize},
    {QTML_TERMINATE, 0, false, op::terminate},
    {QTML_REGISTER_WINDOW, 3, false, op::registerWindow},
    {QTML_UNREGISTER_PORT, 1, false, op::unregisterPort},
    {QTML_WINDOW_PORT, 1, false, op::windowPort},
    {QTML_WINDOW_EVENT, 2, false, op::windowEvent},
    {QTML_MEM_ERROR, 0, false, op::memError},
    {QTML_NEW_HANDLE, 1, false, op::newHandle},
    {QTML_DISPOSE_HANDLE, 1, false, op::disposeHandle},
    {QTML_HANDLE_SIZE, 1, false, op::handleSize},
    {QTML_COPY_BYTES, 3, false, op::copyBytes},
    {QTML_ENTER_MOVIES, 0, false, op::enterMovies},
    {QTML_EXIT_MOVIES, 0, false, op::exitMovies},
    {QTML_MOVIES_ERROR, 0, false, op::moviesError},
    {QTML_CLEAR_MOVIES_ERROR, 0, false, op::clearMoviesError},
    {QTML_MOVIES_TASK, 2, false, op::moviesTask},
    {QTML_NEW_MOVIE_FROM_REF, 5, true, op::newMovieFromRef},
    {QTML_DISPOSE_MOVIE, 1, false, op::disposeMovie},
    {QTML_LOAD_STATE, 1, false, op::loadState},
    {QTML_IS_MOVIE_DONE, 1, false, op::isMovieDone},
    {QTML_SET_MOVIE_PORT, 3, false, op::setMoviePort},
    {QTML_NATURAL_BOX, 2, false, op::naturalBox},
    {QTML_SET_MOVIE_BOX, 2, false, op::setMovieBox},
    {QTML_UPDATE_MOVIE, 1, false, op::updateMovie},
    {QTML_PREPARE_MOVIE, 1, false, op::prepareMovie},
    {QTML_MOVIE_OPTION, 3, false, op::movieOption},
    {QTML_TIME_SCALE, 1, false, op::timeScale},
    {QTML_DURATION, 1, false, op::duration},
    {QTML_TIME_BASE, 1, false, op::timeBase},
    {QTML_CURRENT_TIME, 2, false, op::currentTime},
    {QTML_TIME_RANGE, 3, false, op::timeRange},
    {QTML_USER_DATA, 1, false, op::userData},
    {QTML_USER_DATA_TEXT, 5, false, op::userDataText},
    {QTML_NEW_CONTROLLER, 3, false, op::newController},
    {QTML_DISPOSE_CONTROLLER, 1, false, op::disposeController},
    {QTML_NEW_BUFFER, 6, false, op::newBuffer},
    {QTML_UPDATE_BUFFER, 6, false, op::updateBuffer},
    {QTML_DISPOSE_BUFFER, 1, false, op::disposeBuffer},
    {QTML_CALL_COMPONENT, 2, false, op::callComponent},
};

}  // namespace

const SelectorEntry* findSelector(uint32_t selector) noexcept {
    for (const SelectorEntry& entry : kSelectors) {
        if (entry.selector == selector) {
            return &entry;
        }
    }
    return nullptr;
}

intptr_t dispatch(Runtime& runtime, const SelectorEntry& entry, const intptr_t* args) noexcept {
    if (entry.locksItself) {
        return entry.operation(runtime, args);
    }
    std::lock_guard lock(runtime.mutex);
    return entry.operation(runtime, args);
}

}  // namespace kinvo::qtml
