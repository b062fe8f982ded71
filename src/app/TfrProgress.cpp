#include "app/TfrProgress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QThread>
#include <QtGui/QWindow>
#include <QtWidgets/QFrame>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>

namespace {

// The window system shows a new window a little later; until then it takes no painting.
constexpr int exposeWaitLimitMs = 2000;
constexpr int exposeCheckMs = 2;

bool exposed(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle && handle->isExposed() && window->testAttribute(Qt::WA_Mapped);
}

// Lets the window system show the window before the work holds the interface thread. Neither
// input nor timers are handled meanwhile, so nothing the user or the program has scheduled runs
// before the operation it is waiting for.
void waitUntilExposed(const QWidget* window)
{
    QElapsedTimer waited;
    waited.start();
    while (!exposed(window) && waited.elapsed() < exposeWaitLimitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers);
        if (!exposed(window))
            QThread::msleep(exposeCheckMs);
    }
}

} // namespace

TfrProgress::TfrProgress(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) // the keyboard stays with the window the user works in
{
    setObjectName(QStringLiteral("frProgress"));
    setWindowTitle(QStringLiteral("処理中です..."));
    setModal(false);
    setFixedSize(259, 39);
    cgProgress = new QProgressBar(this);
    cgProgress->setObjectName(QStringLiteral("cgProgress"));
    cgProgress->setGeometry(1, 1, 257, 17);
    cgProgress->setMinimum(0);
    cgProgress->setTextVisible(false);
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setGeometry(1, 20, 257, 18);
    lbMessage = new QLabel(bevel);
    lbMessage->setObjectName(QStringLiteral("lbMessage"));
    lbMessage->setGeometry(4, 1, 249, 16);
}

void TfrProgress::BeginProgress(int steps)
{
    cgProgress->setMaximum(steps);
    cgProgress->setValue(0);
    if (QWidget* owner = parentWidget())
        move(owner->geometry().center() - rect().center());
    show();
    waitUntilExposed(this);
    repaint();
}

void TfrProgress::ProgressStep(int position, const QString& message)
{
    cgProgress->setValue(position);
    lbMessage->setText(message);
    repaint(); // the work holds the interface thread, so nothing else would paint
}

void TfrProgress::EndProgress()
{
    hide();
}

#include "moc_TfrProgress.cpp"
