#include "net/NetError.h"

NetError::NetError(const QString& text, Cause cause) : std::runtime_error(text.toStdString()), cause_(cause) {}
