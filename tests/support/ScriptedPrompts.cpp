#include "support/ScriptedPrompts.h"

Answer ScriptedPrompts::message(MessageKind kind, const QString& text, MessageButtons buttons)
{
    shown.push_back({kind, text, buttons});
    if (buttons == MessageButtons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::Yes : answers.dequeue();
}

QString ScriptedPrompts::openFileName(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    return openFileNames.isEmpty() ? QString() : openFileNames.dequeue();
}

QString ScriptedPrompts::saveFileName(const FileDialogRequest& request, int* chosenFilter)
{
    fileRequests.push_back(request);
    const int row = saveFilterRows.isEmpty() ? request.filterIndex : saveFilterRows.dequeue();
    if (chosenFilter)
        *chosenFilter = row;
    return saveFileNames.isEmpty() ? QString() : saveFileNames.dequeue();
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor&)
{
    return colors.isEmpty() ? std::nullopt : colors.dequeue();
}

std::optional<QFont> ScriptedPrompts::chooseFont(const QFont&, QColor*)
{
    return fonts.isEmpty() ? std::nullopt : fonts.dequeue();
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const ShownMessage& m : shown)
        result << m.text;
    return result;
}
