#include "foundation/Prompts.h"

QString messageCaption(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStringLiteral("警告");
    case MessageKind::Error:
        return QStringLiteral("エラー");
    case MessageKind::Information:
        break;
    }
    return QStringLiteral("情報");
}
