#include "catalogue/pages/TfrDirectSize.h"

#include "catalogue/TModelEntry.h"
#include "widgets/NumericField.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

namespace {

void label(const QString& text, QWidget* parent, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent, QRect geometry)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
}

} // namespace

TfrDirectSize::TfrDirectSize(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frDirectSize"));
    setWindowTitle(QStringLiteral("画面の大きさを直接入力"));
    setFixedSize(320, 152);
    build();
    csMpWidth->setEnterTarget(csMpHeight);
    csMpHeight->setEnterTarget(csCol);
    csCol->setEnterTarget(csFS);
    csFS->setEnterTarget(btOk); // a second Enter presses it
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btOk, &QPushButton::clicked, this, &TfrDirectSize::btOkClick);
}

void TfrDirectSize::build()
{
    auto* frame = new QGroupBox(this);
    frame->setGeometry(8, 4, 304, 104);
    label(QStringLiteral("画面の大きさ"), frame, 12, 16);
    label(QStringLiteral("横"), frame, 96, 16);
    csMpWidth = new NumericField(NumericRules::ScreenSide, "csMpWidth", "udMpWidth", frame);
    csMpWidth->place({112, 12, 48, 22});
    label(QStringLiteral("×"), frame, 184, 16);
    csMpHeight = new NumericField(NumericRules::ScreenSide, "csMpHeight", "udMpHeight", frame);
    csMpHeight->place({200, 12, 48, 22});
    label(QStringLiteral("縦"), frame, 270, 16);

    label(QStringLiteral("色の数"), frame, 12, 46);
    csCol = new NumericField(NumericRules::ColourBits, "csCol", "udCol", frame);
    csCol->place({112, 42, 48, 22});
    label(QStringLiteral("bit"), frame, 184, 46);

    label(QStringLiteral("容量の上限"), frame, 12, 76);
    csFS = new NumericField(NumericRules::SizeLimit, "csFS", "udFS", frame);
    csFS->place({112, 72, 88, 22});
    label(QStringLiteral("byte"), frame, 224, 76);

    udMpWidth = csMpWidth->stepper();
    udMpHeight = csMpHeight->stepper();
    udCol = csCol->stepper();
    udFS = csFS->stepper();
    btCancel = button("btCancel", QStringLiteral("キャンセル"), this, {136, 116, 84, 28});
    btOk = button("btOk", QStringLiteral("決定"), this, {228, 116, 84, 28});
}

QList<NumericField*> TfrDirectSize::fields() const
{
    return {csMpWidth, csMpHeight, csCol, csFS};
}

void TfrDirectSize::fill(const TModelEntry& target, const QString& sizeLimitText)
{
    csMpWidth->setValue(target.Width);
    csMpHeight->setValue(target.Height);
    csCol->setValue(target.ColorBits);
    csFS->setText(sizeLimitText);
    csMpWidth->setFocus(Qt::OtherFocusReason); // each opening starts at the width
}

void TfrDirectSize::csMpWidthExit()
{
    csMpWidth->exitField();
}

void TfrDirectSize::csMpHeightExit()
{
    csMpHeight->exitField();
}

void TfrDirectSize::csColExit()
{
    csCol->exitField();
}

void TfrDirectSize::csFSExit()
{
    csFS->exitField();
}

void TfrDirectSize::btOkClick()
{
    // A click takes the focus from the field first, and leaving it runs its clamp. Clamping here
    // as well keeps that true where the button was pressed without moving the focus.
    if (auto* field = qobject_cast<NumericField*>(focusWidget()))
        field->exitField();
    btOk->setFocus(Qt::MouseFocusReason);
    // A field the user never entered keeps its value, but text that is no number (a limit read
    // from a damaged settings file) is never handed back as a size.
    for (NumericField* field : fields())
        field->settle();
    accept();
}

#include "moc_TfrDirectSize.cpp"
