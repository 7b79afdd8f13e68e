#pragma once

// Closing the main window while a message box is up. Qt drops a window manager's close
// request for a window that a modal box blocks, so a class that closes the window during
// the start hint, the theory text or the halt notice would see nothing happen, and the
// close would be lost. This filter sees the request before Qt drops it (X11: the
// WM_DELETE_WINDOW client message) and closes the window as the user asked; the binding
// then ends the box, as it does for every close.

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include <cstdint>

class BlockedCloseFilter : public QAbstractNativeEventFilter {
public:
    // Installs itself on the application when it runs on X11; elsewhere it does nothing.
    explicit BlockedCloseFilter(QWidget& window);
    ~BlockedCloseFilter() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool isDeleteRequestForWindow(const void* event) const;

    QPointer<QWidget> window_;
    uint32_t protocolsAtom_ = 0;
    uint32_t deleteWindowAtom_ = 0;
    bool installed_ = false;
};
