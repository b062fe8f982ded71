#pragma once
// "処理中です...": the modeless progress dialog every long operation shows.
#include "foundation/Progress.h"

#include <QtWidgets/QDialog>

class QLabel;
class QProgressBar;

class TfrProgress final : public QDialog, public Progress
{
    Q_OBJECT
  public:
    explicit TfrProgress(QWidget* owner = nullptr);

    void BeginProgress(int steps) override;
    void ProgressStep(int position, const QString& message) override;
    void EndProgress() override;

    QProgressBar* cgProgress;
    QLabel* lbMessage;
};
