#include "net/NetError.h"

NetError::NetError(const QString& text) : std::runtime_error(text.toStdString()) {}
