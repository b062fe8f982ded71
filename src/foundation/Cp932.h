#pragma once
// The Windows Japanese code page that the catalogue and the settings files are written in.
#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace Cp932 {
QString decode(const QByteArray& bytes);
// Characters the code page cannot hold become '?'.
QByteArray encode(const QString& text);
// The characters of the text that the code page cannot hold, each once, in order.
QString unencodable(const QString& text);
} // namespace Cp932
