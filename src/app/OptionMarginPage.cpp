#include "app/OptionMarginPage.h"

#include "app/ClickLabel.h"
#include "decoration/pages/ColorSwatch.h"
#include "foundation/Prompts.h"

#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {

constexpr const char* panelNames[] = {"mg0", "mg1", "mg2", "mg3", "mg4", "mg5", "mg6", "mg7", "mg8"};
const char16_t* const panelCaptions[] = {u"左上寄せ", u"上寄せ",   u"右上寄せ", u"左寄せ",  u"中央",
                                         u"右寄せ",   u"左下寄せ", u"下寄せ",   u"右下寄せ"};

} // namespace

OptionMarginPage::OptionMarginPage(Prompts& prompts, QWidget* parent)
    : OptionPage("tsMergin", parent), prompts_(prompts)
{
    auto* layout = new QVBoxLayout(this);
    auto* colourRow = new QHBoxLayout;
    btChangeMerginCol = new QPushButton(QStringLiteral("余白の色を変更"), this);
    btChangeMerginCol->setObjectName(QStringLiteral("btChangeMerginCol"));
    stMerginColor = new ColorSwatch("stMerginColor", qRgb(255, 255, 255), this);
    stMerginColor->setFixedSize(41, 21);
    colourRow->addWidget(btChangeMerginCol);
    colourRow->addWidget(stMerginColor);
    colourRow->addStretch();
    layout->addLayout(colourRow);

    auto* group = new QGroupBox(QStringLiteral(" 画像の配置 "), this);
    auto* grid = new QGridLayout(group);
    grid->setSpacing(4);
    for (int i = 0; i < PlacementPanels::Count; ++i) {
        mg[i] = new ClickLabel(panelNames[i], group);
        mg[i]->setText(QString::fromUtf16(panelCaptions[i]));
        mg[i]->setFixedSize(105, 41);
        mg[i]->setAlignment(Qt::AlignCenter);
        mg[i]->setFrameStyle(QFrame::Panel | QFrame::Raised);
        mg[i]->setAutoFillBackground(true);
        grid->addWidget(mg[i], i / 3, i % 3);
        connect(mg[i], &ClickLabel::clicked, this, [this, i] { mgClick(i); });
    }
    grid->setColumnStretch(3, 1);
    layout->addWidget(group);
    layout->addStretch();
    paintPanels();
    connect(btChangeMerginCol, &QPushButton::clicked, this, &OptionMarginPage::btChangeMerginColClick);
}

void OptionMarginPage::btChangeMerginColClick()
{
    const std::optional<QColor> color = prompts_.chooseColor(QColor::fromRgb(stMerginColor->color()));
    if (!color)
        return;
    stMerginColor->setColor(color->rgb());
    emit marginColorChanged(*color);
    emit changed();
}

void OptionMarginPage::mgClick(int index)
{
    panels_.click(index);
    paintPanels();
    emit changed();
}

void OptionMarginPage::showPanels(const PlacementPanels& panels)
{
    if (panels == panels_)
        return;
    panels_ = panels;
    paintPanels();
    emit changed();
}

void OptionMarginPage::paintPanels()
{
    for (int i = 0; i < PlacementPanels::Count; ++i) {
        QPalette p = mg[i]->palette();
        p.setColor(QPalette::Window, ColorValue::toColor(panels_.background(i)));
        p.setColor(QPalette::WindowText, ColorValue::toColor(panels_.caption(i)));
        mg[i]->setPalette(p);
    }
}

void OptionMarginPage::show(const ProgramOptions& o)
{
    if (o.marginColor.rgb() != stMerginColor->color()) {
        stMerginColor->setColor(o.marginColor.rgb());
        emit changed();
    }
}

void OptionMarginPage::collect(ProgramOptions& o) const
{
    o.marginColor = QColor::fromRgb(stMerginColor->color());
    o.placement = panels_.chosen();
}

#include "moc_OptionMarginPage.cpp"
