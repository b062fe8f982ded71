#include "decoration/pages/PictureListPage.h"

#include "decoration/StampPicture.h"
#include "widgets/ThumbnailList.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace PictureListPage {

ThumbnailList* addList(QWidget* page, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new QLabel(caption, page);
    label->move(geometry.left(), geometry.top() - 18);
    auto* list = new ThumbnailList(page);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(geometry);
    list->setExtensions(StampPicture::folderExtensions());
    // Three to a row in the narrow page; the thumbnails are drawn a little smaller, with room
    // below for a name on up to three lines.
    list->setIconSize(QSize(48, 48));
    list->setGridSize(QSize(60, 96));
    return list;
}

QLineEdit* addNameBox(QWidget* page, const char* name, QRect geometry)
{
    auto* box = new QLineEdit(page);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    QPalette grey = box->palette();
    grey.setColor(QPalette::Base, QColor(0xd4, 0xd0, 0xc8));
    box->setPalette(grey);
    return box;
}

void fill(ThumbnailList* list, const QString& folder)
{
    list->setFilePath(folder);
    list->getFiles();
}

} // namespace PictureListPage
