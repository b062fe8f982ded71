#include "widgets/FontColorDialog.h"

#include <QtCore/QSignalBlocker>
#include <QtGui/QFontDatabase>
#include <QtGui/QFontInfo>
#include <QtGui/QIntValidator>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <cmath>

namespace {

struct NamedColor
{
    QRgb rgb;
    const char16_t* name;
};

const NamedColor namedColors[] = {
    {0x000000, u"黒"},   {0x800000, u"茶"},   {0x008000, u"緑"},   {0x808000, u"オリーブ"},
    {0x000080, u"紺"},   {0x800080, u"紫"},   {0x008080, u"青緑"}, {0x808080, u"灰色"},
    {0xC0C0C0, u"銀色"}, {0xFF0000, u"赤"},   {0x00FF00, u"黄緑"}, {0xFFFF00, u"黄"},
    {0x0000FF, u"青"},   {0xFF00FF, u"赤紫"}, {0x00FFFF, u"水色"}, {0xFFFFFF, u"白"},
};

// Row = italic + 2 * bold, whatever faces the family has.
const char16_t* const styleNames[] = {u"標準", u"斜体", u"太字", u"太字 斜体"};

const int listedSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr int largestSize = 999;

QIcon swatch(const QColor& color)
{
    QPixmap picture(24, 12);
    picture.fill(color);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return QIcon(picture);
}

QStringList installedFaces()
{
    QStringList faces;
    for (const QString& family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family))
            faces << family;
    return faces;
}

QString findFace(const QStringList& faces, const QString& name)
{
    for (const QString& face : faces)
        if (face.compare(name, Qt::CaseInsensitive) == 0)
            return face;
    return {};
}

int pointSizeOf(const QFont& font)
{
    if (font.pointSize() > 0)
        return font.pointSize();
    if (font.pixelSize() > 0)
        return std::max(1, int(std::lround(font.pixelSize() * 72.0 / 96.0)));
    return 9;
}

QListWidgetItem* itemNamed(const QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchFixedString);
    return found.isEmpty() ? nullptr : found.constFirst();
}

} // namespace

QString FontColorDialog::installedFace(const QString& name)
{
    const QStringList faces = installedFaces();
    if (QString face = findFace(faces, name); !face.isEmpty())
        return face;
    for (const QString& substitute : QFont::substitutes(name))
        if (QString face = findFace(faces, substitute); !face.isEmpty())
            return face;
    return QFontInfo(QFont(name)).family();
}

FontColorDialog::FontColorDialog(const QFont& font, const QColor& color, QWidget* parent)
    : QDialog(parent), edFace(new QLineEdit(this)), lbFace(new QListWidget(this)), lbStyle(new QListWidget(this)),
      edSize(new QLineEdit(this)), lbSize(new QListWidget(this)), cbStrikeOut(new QCheckBox(this)),
      cbUnderline(new QCheckBox(this)), cbColor(new QComboBox(this)), lbSample(new QLabel(this))
{
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(QStringLiteral("フォント"));
    buildLists();
    buildLayout();
    setColor(color);
    showFont(font);
    connectControls();
}

void FontColorDialog::buildLists()
{
    const std::pair<QWidget*, const char*> names[] = {
        {edFace, "edFace"},           {lbFace, "lbFace"},   {lbStyle, "lbStyle"},
        {edSize, "edSize"},           {lbSize, "lbSize"},   {cbStrikeOut, "cbStrikeOut"},
        {cbUnderline, "cbUnderline"}, {cbColor, "cbColor"}, {lbSample, "lbSample"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));
    lbFace->addItems(installedFaces());
    for (const char16_t* name : styleNames)
        lbStyle->addItem(QString::fromUtf16(name));
    for (int size : listedSizes)
        lbSize->addItem(QString::number(size));
    edSize->setValidator(new QIntValidator(1, largestSize, edSize));
    for (const NamedColor& c : namedColors)
        cbColor->addItem(swatch(QColor::fromRgb(c.rgb)), QString::fromUtf16(c.name), QColor::fromRgb(c.rgb));
    cbStrikeOut->setText(QStringLiteral("取り消し線(&K)"));
    cbUnderline->setText(QStringLiteral("下線(&U)"));
    lbSample->setText(QStringLiteral("Aaあぁアァ亜宇"));
    lbSample->setAlignment(Qt::AlignCenter);
    lbSample->setMinimumSize(200, 60);
}

void FontColorDialog::buildLayout()
{
    auto* lists = new QGridLayout;
    const auto caption = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    lists->addWidget(caption(QStringLiteral("フォント名(&F):"), edFace), 0, 0);
    lists->addWidget(caption(QStringLiteral("スタイル(&Y):"), lbStyle), 0, 1);
    lists->addWidget(caption(QStringLiteral("サイズ(&S):"), edSize), 0, 2);
    lists->addWidget(edFace, 1, 0);
    lists->addWidget(lbFace, 2, 0, 2, 1);
    lists->addWidget(lbStyle, 1, 1, 3, 1);
    lists->addWidget(edSize, 1, 2);
    lists->addWidget(lbSize, 2, 2, 2, 1);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(1, 2);
    lists->setColumnStretch(2, 1);

    auto* effects = new QGroupBox(QStringLiteral("文字飾り"), this);
    auto* effectRows = new QVBoxLayout(effects);
    effectRows->addWidget(cbStrikeOut);
    effectRows->addWidget(cbUnderline);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(caption(QStringLiteral("色(&C):"), cbColor));
    colorRow->addWidget(cbColor);
    effectRows->addLayout(colorRow);
    auto* sample = new QGroupBox(QStringLiteral("サンプル"), this);
    (new QVBoxLayout(sample))->addWidget(lbSample);
    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sample, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &FontColorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(lower);
    layout->addWidget(buttons);
}

void FontColorDialog::connectControls()
{
    connect(edFace, &QLineEdit::textEdited, this, &FontColorDialog::faceTyped);
    connect(lbFace, &QListWidget::currentTextChanged, this, [this](const QString& face) {
        if (!edFace->hasFocus())
            edFace->setText(face);
        showSample();
    });
    connect(lbStyle, &QListWidget::currentRowChanged, this, &FontColorDialog::showSample);
    connect(edSize, &QLineEdit::textEdited, this, &FontColorDialog::sizeTyped);
    connect(lbSize, &QListWidget::currentTextChanged, this, [this](const QString& size) {
        if (size.isEmpty())
            return;
        edSize->setText(size);
        sizeTyped(size);
    });
    for (QCheckBox* effect : {cbStrikeOut, cbUnderline})
        connect(effect, &QCheckBox::toggled, this, &FontColorDialog::showSample);
}

void FontColorDialog::showFont(const QFont& font)
{
    openedName_ = font.family();
    openedFace_ = installedFace(openedName_);
    if (QListWidgetItem* face = itemNamed(lbFace, openedFace_))
        lbFace->setCurrentItem(face);
    edFace->setText(openedFace_);
    lbStyle->setCurrentRow(int(font.italic()) + 2 * int(font.bold()));
    size_ = pointSizeOf(font);
    edSize->setText(QString::number(size_));
    if (QListWidgetItem* size = itemNamed(lbSize, edSize->text()))
        lbSize->setCurrentItem(size);
    cbStrikeOut->setChecked(font.strikeOut());
    cbUnderline->setChecked(font.underline());
    showSample();
}

// Typing picks the first face that starts with what was typed, as the desktop's dialog does.
void FontColorDialog::faceTyped(const QString& text)
{
    if (text.isEmpty())
        return;
    for (int row = 0; row < lbFace->count(); ++row)
        if (lbFace->item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
            lbFace->setCurrentRow(row);
            lbFace->scrollToItem(lbFace->item(row));
            return;
        }
}

void FontColorDialog::sizeTyped(const QString& text)
{
    bool ok = false;
    const int size = text.toInt(&ok);
    if (!ok || size < 1 || size > largestSize)
        return;
    size_ = size;
    const QSignalBlocker quiet(lbSize);
    lbSize->setCurrentItem(itemNamed(lbSize, QString::number(size)));
    showSample();
}

void FontColorDialog::accept()
{
    if (QListWidgetItem* face = itemNamed(lbFace, edFace->text().trimmed()))
        lbFace->setCurrentItem(face);
    edFace->setText(chosenFace());
    edSize->setText(QString::number(size_));
    QDialog::accept();
}

QString FontColorDialog::chosenFace() const
{
    const QListWidgetItem* face = lbFace->currentItem();
    return face ? face->text() : openedFace_;
}

QFont FontColorDialog::font() const
{
    const QString face = chosenFace();
    QFont chosen(face == openedFace_ ? openedName_ : face);
    chosen.setPointSize(size_);
    const int style = std::max(0, lbStyle->currentRow());
    chosen.setItalic(style % 2 == 1);
    chosen.setBold(style >= 2);
    chosen.setStrikeOut(cbStrikeOut->isChecked());
    chosen.setUnderline(cbUnderline->isChecked());
    return chosen;
}

void FontColorDialog::showSample()
{
    QFont sample = font();
    sample.setFamily(chosenFace());
    lbSample->setFont(sample);
}

QColor FontColorDialog::color() const
{
    return cbColor->currentData().value<QColor>();
}

void FontColorDialog::setColor(const QColor& color)
{
    const QColor opaque = QColor::fromRgb(color.rgb());
    int index = cbColor->findData(opaque);
    if (index < 0) {
        const int custom = int(std::size(namedColors));
        if (cbColor->count() == custom)
            cbColor->addItem(QString(), QColor());
        cbColor->setItemIcon(custom, swatch(opaque));
        cbColor->setItemText(custom, QStringLiteral("カスタム"));
        cbColor->setItemData(custom, opaque);
        index = custom;
    }
    cbColor->setCurrentIndex(index);
}

#include "moc_FontColorDialog.cpp"
