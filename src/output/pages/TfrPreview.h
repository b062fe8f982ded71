#pragma once
// "作成画像のプレビュー": the file about to be sent, read back as encoded, for the user to confirm.
// There is no close box: the user answers with "OK" (the default button) or "キャンセル".
#include <QtGui/QImage>
#include <QtWidgets/QDialog>

class QLabel;
class QPushButton;
class QScrollArea;

class TfrPreview : public QDialog
{
    Q_OBJECT
  public:
    static constexpr int ImageSide = 480;

    explicit TfrPreview(QWidget* parent = nullptr);

    // Shows the file modally; true when the user chose "OK".
    bool confirm(const QString& path);

    QLabel* lbMessage;
    QScrollArea* imageArea;
    QLabel* IkDispPreview;
    QPushButton* btOK;
    QPushButton* btCancel;
};
