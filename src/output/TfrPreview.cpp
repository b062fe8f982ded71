#include "output/TfrPreview.h"

TfrPreview::TfrPreview(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frPreview"));
    setWindowTitle(QStringLiteral("作成画像のプレビュー"));
    setFixedSize(500, 560);
}
