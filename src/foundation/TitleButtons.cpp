#include "foundation/TitleButtons.h"

#include <QtGui/QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QtWidgets/QWidget>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr uint32_t hintFunctions = 1, hintDecorations = 2;
constexpr uint32_t functionResize = 2, functionMove = 4;
constexpr uint32_t decorBorder = 2, decorResize = 4, decorTitle = 8;

void writeMotifHints(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    static constexpr char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    if (!atom)
        return;
    const std::array<uint32_t, 5> hints{hintFunctions | hintDecorations, functionMove | functionResize,
                                        decorBorder | decorResize | decorTitle, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom->atom, atom->atom,
                        32, uint32_t(hints.size()), hints.data());
    xcb_flush(connection);
    std::free(atom);
}

} // namespace

void TitleButtons::removeAll(QWidget* window)
{
    window->installEventFilter(new TitleButtons(window));
}

bool TitleButtons::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes after the native window exists and before it is mapped; Qt writes its
    // own hints whenever the window is created or its flags change, so they are replaced each time.
    if (event->type() == QEvent::Show && watched->isWidgetType())
        writeMotifHints(static_cast<QWidget*>(watched));
    return false;
}
