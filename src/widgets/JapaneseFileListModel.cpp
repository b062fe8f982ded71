#include "widgets/JapaneseFileListModel.h"

#include <QtCore/QLocale>
#include <QtCore/QMimeDatabase>
#include <QtGui/QFileSystemModel>

namespace {

enum Column { Name, Size, Type, Modified };

} // namespace

QVariant JapaneseFileListModel::data(const QModelIndex& index, int role) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || (index.column() != Type && index.column() != Modified))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == Modified)
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    if (files->isDir(source))
        return QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment().trimmed();
    return QIdentityProxyModel::data(index, role).toString().trimmed();
}

#include "moc_JapaneseFileListModel.cpp"
