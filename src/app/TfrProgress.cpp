#include "app/TfrProgress.h"

#include <QtWidgets/QFrame>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>

TfrProgress::TfrProgress(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
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
