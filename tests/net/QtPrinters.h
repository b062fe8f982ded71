// Lets test failures show Qt strings as text.
#pragma once

#include <ostream>

#include <QtCore/QByteArray>
#include <QtCore/QString>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << (bytes.size() > 200 ? bytes.left(200) + "..." : bytes).toStdString() << '"';
}
