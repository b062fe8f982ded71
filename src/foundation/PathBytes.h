#pragma once
// File names are bytes, and a name need not be UTF-8: a Latin-1 "caf\xe9.jpg" is a fine file.
// A QString keeps such a name intact when each byte that is not part of valid UTF-8 is held as
// the lone surrogate U+DC80 + (byte - 0x80), which valid text never holds; toBytes() gives the
// bytes back exactly. Qt's own file functions would turn those characters into other bytes, so a
// name that holds them is only ever used through functions that take its bytes.
#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace PathBytes {

QString fromBytes(const QByteArray& bytes);
QByteArray toBytes(QStringView text);
// Whether the text holds a byte that is not UTF-8, so that Qt's file functions cannot reach it.
bool holdsRawBytes(QStringView text);

} // namespace PathBytes
