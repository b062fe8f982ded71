#pragma once
// "ファイル保存・転送": the format of saving and sending, colour reduction, the transfer method and
// the upload's SOCKS proxy.
#include "app/OptionPage.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

class OptionTransferPage : public OptionPage
{
    Q_OBJECT
  public:
    explicit OptionTransferPage(QWidget* parent = nullptr);

    void show(const ProgramOptions& options) override;
    void collect(ProgramOptions& options) const override;
    void bringInLine() override;

    QToolButton* sbJPEG;
    QToolButton* sbGIF;
    QToolButton* sbPNG;
    QToolButton* sbBMP;
    QCheckBox* cbDither;
    QCheckBox* cbFixedPal;
    QRadioButton* rbInternet;
    QCheckBox* cbSocks;
    QLineEdit* edSockServer;
    QLineEdit* edSockPort;
    QLineEdit* edSockUser;
    QLineEdit* edSockPassword;

  private:
    QWidget* buildFormatGroup();
    QWidget* buildReductionGroup();
    QWidget* buildTransferGroup();
    QWidget* buildSocksGroup();
    QLineEdit* socksField(const char* name, const QString& caption, const QString& note, int row);

    QButtonGroup* formats_;
    std::array<QToolButton*, 4> formatButtons_{};
    QList<QLabel*> socksLabels_;
    QWidget* socksGroup_ = nullptr;
};
