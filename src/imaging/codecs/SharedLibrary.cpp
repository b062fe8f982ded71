#include "imaging/codecs/SharedLibrary.h"

#include <dlfcn.h>

SharedLibrary::SharedLibrary(const char* soname) : soname_(QString::fromLatin1(soname))
{
    // Kept open for the rest of the process: the codecs hold its functions in statics.
    handle_ = dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
    if (!handle_)
        error_ = QString::fromLocal8Bit(dlerror());
}

void* SharedLibrary::symbol(const char* name)
{
    if (!handle_)
        return nullptr;
    void* found = dlsym(handle_, name);
    if (!found && error_.isEmpty())
        error_ = QStringLiteral("%1 has no %2").arg(soname_, QLatin1String(name));
    return found;
}
