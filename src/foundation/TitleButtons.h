#pragma once
// Windows without title-bar buttons: no minimise, maximise or close box, and no close through the
// window manager. Qt's flags cannot say this to an X11 window manager (a window without any
// button flag is given all of them), so the Motif hints are written on the window at every show.
#include <QtCore/QObject>

class QWidget;

class TitleButtons final : public QObject {
    Q_OBJECT
public:
    // The window keeps its title and resizable border.
    static void removeAll(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
