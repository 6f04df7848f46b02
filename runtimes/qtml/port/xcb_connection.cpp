#include "runtimes/qtml/port/xcb_connection.h"

#include <xcb/shm.h>

#include <cstdlib>

namespace kinvo::qtml {

std::unique_ptr<XcbConnection> XcbConnection::open(const char* name) noexcept {
    xcb_connection_t* connection = xcb_connect(name, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<XcbConnection> made(new (std::nothrow) XcbConnection(connection));
    if (!made) {
        xcb_disconnect(connection);
    }
    return made;
}

XcbConnection::XcbConnection(xcb_connection_t* connection) noexcept : connection_(connection) {
    maxRequestBytes_ = static_cast<size_t>(xcb_get_maximum_request_length(connection_)) * 4;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_shm_id);
    if (extension != nullptr && extension->present) {
        xcb_shm_query_version_reply_t* version =
            xcb_shm_query_version_reply(connection_, xcb_shm_query_version(connection_), nullptr);
        shm_ = version != nullptr;
        std::free(version);
    }
}

XcbConnection::~XcbConnection() {
    xcb_disconnect(connection_);
}

int XcbConnection::bitsPerPixel(uint8_t depth) const noexcept {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    for (xcb_format_iterator_t format = xcb_setup_pixmap_formats_iterator(setup); format.rem;
         xcb_format_next(&format)) {
        if (format.data->depth == depth) {
            return format.data->bits_per_pixel;
        }
    }
    return 0;
}

bool XcbConnection::isBgraVisual(xcb_visualid_t visual) const noexcept {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    for (xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup); screen.rem;
         xcb_screen_next(&screen)) {
        for (xcb_depth_iterator_t depth = xcb_screen_allowed_depths_iterator(screen.data);
             depth.rem; xcb_depth_next(&depth)) {
            for (xcb_visualtype_iterator_t type = xcb_depth_visuals_iterator(depth.data); type.rem;
                 xcb_visualtype_next(&type)) {
                const xcb_visualtype_t& v = *type.data;
                if (v.visual_id == visual) {
                    return v._class == XCB_VISUAL_CLASS_TRUE_COLOR && v.red_mask == 0xff0000 &&
                           v.green_mask == 0xff00 && v.blue_mask == 0xff;
                }
            }
        }
    }
    return false;
}

void XcbConnection::drainEvents() noexcept {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        std::free(event);
    }
}

}  // namespace kinvo::qtml
