#include "widgets/NumericField.h"

#include "widgets/UpDown.h"

#include <QtGui/QFocusEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QRegularExpressionValidator>

namespace {

constexpr int stepperWidth = 16;

} // namespace

NumericField::NumericField(const NumericRule& rule, const char* name, const char* stepperName, QWidget* parent)
    : QLineEdit(parent), rule_(rule), stepper_(new UpDown(parent))
{
    setObjectName(QLatin1String(name));
    stepper_->setObjectName(QLatin1String(stepperName));
    setAlignment(Qt::AlignRight);
    setInputMethodHints(Qt::ImhDigitsOnly);
    // Typing and pasting accept digits only. Text set from code is not checked, so a catalogue
    // value outside the range (even a negative one) is shown as it stands until the field is left.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    connect(stepper_, &UpDown::changingEx, this, &NumericField::stepBy);
}

void NumericField::place(const QRect& fieldGeometry)
{
    setGeometry(fieldGeometry);
    stepper_->setGeometry(fieldGeometry.right() + 1, fieldGeometry.top(), stepperWidth, fieldGeometry.height());
}

void NumericField::stepBy(StepDirection direction)
{
    replaceText(rule_.stepped(text(), direction));
}

void NumericField::exitField()
{
    replaceText(rule_.left(text()));
}

void NumericField::settle()
{
    replaceText(rule_.settled(text()));
}

void NumericField::replaceText(const QString& replacement)
{
    if (replacement != text())
        setText(replacement);
}

void NumericField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The field takes the key, so it never reaches a default button. The clamp runs here as well
    // as on the focus change, since the focus only moves while the window is active.
    event->accept();
    exitField();
    if (enterTarget_)
        enterTarget_->setFocus(Qt::TabFocusReason);
}

void NumericField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A pop-up menu or another window taking over is not leaving the field.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        exitField();
}

#include "moc_NumericField.cpp"
