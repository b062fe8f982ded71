#include "widgets/ButtonEnterKey.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>

namespace {

const char* const filterName = "ButtonEnterKey";

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

void ButtonEnterKey::install()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->findChild<ButtonEnterKey*>(QLatin1String(filterName), Qt::FindDirectChildrenOnly))
        return;
    auto* filter = new ButtonEnterKey(app);
    filter->setObjectName(QLatin1String(filterName));
    app->installEventFilter(filter);
}

bool ButtonEnterKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isEnter(static_cast<QKeyEvent*>(event)))
        return false;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button || !(qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)))
        return false; // check and radio buttons leave Enter to the default button
    if (!button->isEnabled() || !button->isVisible())
        return false;
    if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
        button->click();
    return true;
}

#include "moc_ButtonEnterKey.cpp"
