#pragma once
// "環境設定": the options dialog. Its controls are the options; every change goes at once into the
// program's options, which the features read when they need them. "キャンセル" goes back to the
// restore point taken when the dialog opened or at the last "適用(&A)".
#include "foundation/PlacementPanels.h"
#include "foundation/ProgramOptions.h"

#include <QtWidgets/QDialog>

class OptionEffectPage;
class OptionGeneralPage;
class OptionKestrixPage;
class OptionMarginPage;
class OptionPage;
class OptionTransferPage;
class OptionVersionPage;
class PageControl;
class Prompts;
class QPushButton;

class TfrOption : public QDialog
{
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 440;
    static constexpr int ClientHeight = 528;

    TfrOption(ProgramOptions& options, Prompts& prompts, QWidget* parent = nullptr);

    // Shows the dialog modally on the page of that name ("tsKestrix", ...).
    void openOnPage(const QString& pageName);

    // A settings load: the controls take these values as a user change would give them.
    void showOptions(const ProgramOptions& options, const PlacementPanels& panels);
    const PlacementPanels& panels() const;
    // Proxy and SOCKS fields enabled by their switches; guide lines and the display's background
    // take the swatches' colours.
    void bringDependentStateInLine();

    void FormShow();
    void btOptionClick();
    void btOKClick();
    void btCancelClick();

    PageControl* pcOption;
    OptionGeneralPage* tsGeneral;
    OptionMarginPage* tsMergin;
    OptionEffectPage* tsEffect;
    OptionTransferPage* tsTrans;
    OptionKestrixPage* tsKestrix;
    OptionVersionPage* tsVersion;
    QPushButton* btOK;
    QPushButton* btCancel;
    QPushButton* btOption;

  signals:
    void guideLinesChanged(bool visible, const QColor& color);
    void marginColorChanged(const QColor& color);
    // "OK" and "キャンセル": the canvas is composed again at its offset, with the offset kept.
    void composeRequested();
    // "適用(&A)": the sub-window is made always-on-top or an ordinary window now.
    void stayOnTopApplied(bool onTop);
    void ImageLogoClick();
    void ImagePayClick();
    void ImageKestrixClick();
    void btJEXregistClick();

  public slots:
    void reject() override; // Escape is "キャンセル"

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct RestorePoint
    {
        ProgramOptions options;
        PlacementPanels panels;
    };
    void buildPages(Prompts& prompts);
    void buildButtons();
    void connectLinks();
    void optionChanged();
    void takeOptions();
    RestorePoint current() const;

    ProgramOptions& options_;
    QList<OptionPage*> pages_;
    RestorePoint restorePoint_;
};
