#include "platform/qt/BlockedCloseFilter.h"

#include "platform/qt/X11.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

BlockedCloseFilter::BlockedCloseFilter(QWidget& window) : window_(&window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    protocolsAtom_ = X11::atom("WM_PROTOCOLS");
    deleteWindowAtom_ = X11::atom("WM_DELETE_WINDOW");
    if (protocolsAtom_ == 0 || deleteWindowAtom_ == 0)
        return;
    QCoreApplication::instance()->installNativeEventFilter(this);
    installed_ = true;
}

BlockedCloseFilter::~BlockedCloseFilter()
{
    if (installed_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool BlockedCloseFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !isDeleteRequestForWindow(message))
        return false;
    QWindow* handle = window_->windowHandle();
    const QWindow* modal = QGuiApplication::modalWindow();
    if (handle && modal && modal != handle) {
        // Not from inside the native event: closing ends the box's event loop.
        QMetaObject::invokeMethod(window_.data(), [window = window_] {
            if (window)
                window->close();
        }, Qt::QueuedConnection);
    }
    return false;   // Qt goes on as usual: an unblocked window closes by its own path
}

bool BlockedCloseFilter::isDeleteRequestForWindow(const void* event) const
{
    const auto* generic = static_cast<const xcb_generic_event_t*>(event);
    if (!window_ || (generic->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(event);
    return client->format == 32 && client->type == protocolsAtom_
        && client->data.data32[0] == deleteWindowAtom_ && client->window == window_->winId();
}
