#include "platform/qt/X11.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace X11 {

namespace {

xcb_connection_t* connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

uint32_t atom(const char* name)
{
    xcb_connection_t* display = connection();
    if (!display)
        return 0;
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(display, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(display, cookie, nullptr);
    const uint32_t found = reply ? reply->atom : 0;
    std::free(reply);
    return found;
}

bool windowManagerDoesFullScreen()
{
    xcb_connection_t* display = connection();
    if (!display)
        return true;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(display)).data->root;
    const uint32_t fullScreen = atom("_NET_WM_STATE_FULLSCREEN");
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(display, 0, root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(display, cookie, nullptr);
    bool supported = false;
    if (reply && reply->format == 32) {
        const auto* atoms = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        for (int i = 0; i < count && !supported; ++i)
            supported = atoms[i] == fullScreen;
    }
    std::free(reply);
    return supported;
}

} // namespace X11
