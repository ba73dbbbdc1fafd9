#include "ui/qt/window_title.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace ui::qt {

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    xcb_atom_t atom = XCB_ATOM_NONE;
    if (reply != nullptr) {
        atom = reply->atom;
    }
    std::free(reply);
    return atom;
}

} // namespace

void ClearWindowTitle(QWidget* window) {
    // Other platforms (offscreen included, which still answers as X11) keep Qt's own title.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || x11 == nullptr ||
        x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        0, "");
    const xcb_atom_t net_name = Atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    if (net_name != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, net_name, utf8, 8, 0, "");
    }
    xcb_flush(connection);
}

} // namespace ui::qt
