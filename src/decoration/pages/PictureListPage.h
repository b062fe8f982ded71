#pragma once
// What the stamp and frame pages share: a captioned thumbnail list of a folder's pictures and a
// grey name box for the picked one.
#include <QtCore/QRect>
#include <QtCore/QString>

class QLineEdit;
class QWidget;
class ThumbnailList;

namespace PictureListPage {

ThumbnailList* addList(QWidget* page, const char* name, const QString& caption, QRect geometry);
QLineEdit* addNameBox(QWidget* page, const char* name, QRect geometry);
// Lists `folder` in `list`, offering the stamp and frame extensions.
void fill(ThumbnailList* list, const QString& folder);

} // namespace PictureListPage
