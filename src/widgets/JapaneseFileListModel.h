#pragma once
// The file dialog's list as a Japanese desktop shows it: Qt's own translation leaves a folder's
// type as "Folder" and the system locale formats the dates, so both are put in Japanese here; the
// file types come from the MIME database in the application's (Japanese) locale.
#include <QtCore/QIdentityProxyModel>

class JapaneseFileListModel : public QIdentityProxyModel
{
    Q_OBJECT
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;
};
