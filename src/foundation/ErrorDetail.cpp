#include "foundation/ErrorDetail.h"

#include "foundation/PathBytes.h"

#include <cstdio>

void writeErrorDetail(const QString& detail)
{
    if (!detail.isEmpty())
        std::fprintf(stderr, "pictorel: %s\n", PathBytes::toBytes(detail).constData());
}
