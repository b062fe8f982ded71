#include "workspace/pages/OperationButton.h"

#include "workspace/ImageOperations.h"

#include <QtWidgets/QPushButton>

QPushButton* operationButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                             ImageOperations& operations, OperationId id)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    QObject::connect(button, &QPushButton::clicked, button, [&operations, id](bool) { operations.run(id); });
    return button;
}
