#include "catalogue/pages/ModelSelectPage.h"

#include "catalogue/pages/TfrDirectSize.h"
#include "foundation/HandlerGuard.h"
#include "widgets/NumericField.h"

#include <QtCore/QScopedValueRollback>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

QString carrierPrompt()
{
    return QStringLiteral("携帯キャリア");
}

QString phonePrompt()
{
    return QStringLiteral("携帯型番");
}

QLabel* label(const QString& text, QWidget* parent, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    return l;
}

QLineEdit* readOnlyField(const char* name, QWidget* parent, QRect geometry)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    field->setGeometry(geometry);
    field->setAlignment(Qt::AlignRight);
    return field;
}

QComboBox* editableList(const char* name, const QString& initialText, QWidget* parent, QRect geometry)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setGeometry(geometry);
    list->setCompleter(nullptr); // the handlers see exactly what was typed
    list->setEditText(initialText);
    return list;
}

} // namespace

ModelSelectPage::ModelSelectPage(const ModelCatalogue& catalogue, TModelEntry& targetModel, Prompts& prompts,
                                 QWidget* parent)
    : QWidget(parent), catalogue_(catalogue), targetModel_(targetModel), prompts_(prompts)
{
    setObjectName(QStringLiteral("tsSelectMP"));
    build();
    // Only the user's changes run the handlers: choosing an item or typing. A list also reports
    // "activated" when the focus leaves it with a text that names another item; that is no choice.
    connect(cbCarrier, &QComboBox::activated, this, [this](int) {
        if (!focusLeaving_)
            cbCarrierChange();
    });
    connect(cbCarrier->lineEdit(), &QLineEdit::textEdited, this, [this](const QString&) { cbCarrierChange(); });
    connect(cbPhone, &QComboBox::activated, this, [this](int) {
        if (!focusLeaving_)
            cbPhoneChange();
    });
    connect(cbPhone->lineEdit(), &QLineEdit::textEdited, this, [this](const QString&) { cbPhoneChange(); });
    for (QComboBox* list : {cbCarrier, cbPhone}) {
        list->installEventFilter(this);
        list->lineEdit()->installEventFilter(this);
    }
}

bool ModelSelectPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == cbCarrier || watched == cbPhone ||
                                              watched == cbCarrier->lineEdit() || watched == cbPhone->lineEdit())) {
        // The list (which hands its focus loss on to its field) handles it here, so whatever it
        // reports meanwhile is known to come from the focus moving on.
        const QScopedValueRollback leaving(focusLeaving_, true);
        watched->event(event);
        return true;
    }
    const bool carrier = watched == cbCarrier->lineEdit();
    if (event->type() != QEvent::KeyPress || !(carrier || watched == cbPhone->lineEdit()))
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QWidget::eventFilter(watched, event);
    // Enter must not reach the main window's default button, which would end the program.
    runGuarded(prompts_, [this, carrier] { carrier ? cbCarrierChange() : cbPhoneChange(); });
    return true;
}

void ModelSelectPage::build()
{
    auto* group = new QGroupBox(QStringLiteral("機種の選択"), this);
    group->setGeometry(4, 4, 209, 250);
    label(QStringLiteral("携帯キャリア"), group, 10, 22);
    cbCarrier = editableList("cbCarrier", carrierPrompt(), group, {10, 40, 189, 24});
    label(QStringLiteral("携帯型番"), group, 10, 70);
    cbPhone = editableList("cbPhone", phonePrompt(), group, {10, 88, 189, 24});

    label(QStringLiteral("画面の大きさ"), group, 10, 120);
    label(QStringLiteral("横"), group, 10, 142);
    edMpWidth = readOnlyField("edMpWidth", group, {26, 138, 56, 22});
    label(QStringLiteral("×"), group, 88, 142);
    edMpHeight = readOnlyField("edMpHeight", group, {104, 138, 56, 22});
    label(QStringLiteral("縦"), group, 166, 142);

    label(QStringLiteral("色の数"), group, 10, 172);
    edMpCol = readOnlyField("edMpCol", group, {70, 168, 56, 22});
    label(QStringLiteral("bit"), group, 132, 172);

    label(QStringLiteral("容量の上限"), group, 10, 202);
    csFS = new NumericField(NumericRules::SizeLimit, "csFS", "udFS", group);
    csFS->place({70, 198, 74, 22});
    udFS = csFS->stepper();
    // Enter leaves the field for the page itself; the field takes the key, so the main window's
    // default button "終了する" is not pressed.
    csFS->setEnterTarget(this);
    label(QStringLiteral("byte"), group, 166, 202);

    btDirectSize = new QPushButton(QStringLiteral("画面の大きさを直接入力"), this);
    btDirectSize->setObjectName(QStringLiteral("btDirectSize"));
    btDirectSize->setGeometry(14, 264, 189, 28);
    btUpdate = new QPushButton(QStringLiteral("機種情報を更新する"), this);
    btUpdate->setObjectName(QStringLiteral("btUpdate"));
    btUpdate->setGeometry(14, 300, 189, 28);
}

void ModelSelectPage::fillCarriers()
{
    const QString text = cbCarrier->currentText();
    cbCarrier->clear();
    cbCarrier->addItems(catalogue_.carriers());
    cbCarrier->setEditText(text);
}

void ModelSelectPage::cbCarrierChange()
{
    const QStringList names = catalogue_.modelNamesOf(cbCarrier->currentText());
    cbPhone->clear();
    cbPhone->addItems(names);
    cbPhone->setEditText(names.isEmpty() ? QString() : names.constFirst());
    ApplyModel(catalogue_.FindModel(cbPhone->currentText()));
}

void ModelSelectPage::cbPhoneChange()
{
    ApplyModel(catalogue_.FindModel(cbPhone->currentText()));
}

void ModelSelectPage::ApplyModel(const TModelEntry& entry)
{
    // Of a choice only the carrier, the name and the numbers are taken over.
    TModelEntry target = entry;
    target.Variant.clear();
    target.Extra.clear();
    targetModel_ = target;
    edMpWidth->setText(QString::number(entry.Width));
    edMpHeight->setText(QString::number(entry.Height));
    edMpCol->setText(QString::number(entry.ColorBits));
    csFS->setText(QString::number(entry.SizeLimit));
    emit modelApplied(entry.Width, entry.Height);
}

void ModelSelectPage::setCarrierText(const QString& text)
{
    cbCarrier->setEditText(text);
}

void ModelSelectPage::setPhoneText(const QString& text)
{
    cbPhone->setEditText(text);
}

QString ModelSelectPage::carrierText() const
{
    return cbCarrier->currentText();
}

QString ModelSelectPage::phoneText() const
{
    return cbPhone->currentText();
}

void ModelSelectPage::showPrompts()
{
    cbCarrier->setEditText(carrierPrompt());
    cbPhone->setEditText(phonePrompt());
}

QString ModelSelectPage::carrierToKeep() const
{
    return carrierText() == carrierPrompt() ? targetModel_.Carrier : carrierText();
}

QString ModelSelectPage::phoneToKeep() const
{
    return phoneText() == phonePrompt() ? targetModel_.Name : phoneText();
}

QStringList ModelSelectPage::phoneItems() const
{
    QStringList items;
    for (int i = 0; i < cbPhone->count(); ++i)
        items << cbPhone->itemText(i);
    return items;
}

QString ModelSelectPage::sizeLimitText() const
{
    return csFS->text();
}

int ModelSelectPage::sizeLimit() const
{
    return csFS->value();
}

void ModelSelectPage::udFSChangingEx(StepDirection direction)
{
    csFS->stepBy(direction);
}

void ModelSelectPage::csFSExit()
{
    csFS->exitField();
}

void ModelSelectPage::btDirectSizeClick(TfrDirectSize& dialog)
{
    dialog.fill(targetModel_, csFS->text());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The carrier and model lists keep their texts; the target keeps its carrier and name.
    targetModel_.Width = dialog.csMpWidth->value();
    targetModel_.Height = dialog.csMpHeight->value();
    targetModel_.ColorBits = dialog.csCol->value();
    csFS->setText(dialog.csFS->text());
    edMpWidth->setText(QString::number(targetModel_.Width));
    edMpHeight->setText(QString::number(targetModel_.Height));
    edMpCol->setText(QString::number(targetModel_.ColorBits));
    targetModel_.SizeLimit = sizeLimit();
    emit modelApplied(targetModel_.Width, targetModel_.Height);
}

#include "moc_ModelSelectPage.cpp"
