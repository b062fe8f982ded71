#include "foundation/ErrorDetail.h"

#include <cstdio>

void writeErrorDetail(const QString& detail)
{
    if (!detail.isEmpty())
        std::fprintf(stderr, "pictorel: %s\n", detail.toLocal8Bit().constData());
}
