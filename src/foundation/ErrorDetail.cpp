#include "foundation/ErrorDetail.h"

#include "foundation/PathBytes.h"

#include <cstdio>

namespace {

ErrorDetailRename detailRename = nullptr;

} // namespace

void writeErrorDetail(const QString& detail)
{
    if (detail.isEmpty())
        return;
    const QByteArray line = "pictorel: " + PathBytes::toBytes(detailRename ? detailRename(detail) : detail) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

void setErrorDetailRename(ErrorDetailRename rename)
{
    detailRename = rename;
}
