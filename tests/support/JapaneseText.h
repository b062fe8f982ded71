#pragma once
// Message boxes speak Japanese: a run of Latin words ("Permission denied", "not a picture") in a box
// text is a library's message that leaked through. Single words ("bytes", "JPEG", a file name) are fine.
#include <QtCore/QRegularExpression>
#include <QtCore/QString>

inline bool hasLatinSentence(const QString& text)
{
    static const QRegularExpression words(QStringLiteral("[A-Za-z]{2,}[ ,:;'()-]+[A-Za-z]{2,}"));
    return words.match(text).hasMatch();
}
