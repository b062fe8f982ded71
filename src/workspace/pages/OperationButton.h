#pragma once
// A button that runs one picture operation.
#include "workspace/OperationLog.h"

#include <QtCore/QRect>

class ImageOperations;
class QPushButton;
class QWidget;

QPushButton* operationButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                             ImageOperations& operations, OperationId id);
