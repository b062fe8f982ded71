// The model catalogue: any bytes either load, with every number within its bounds and each carrier
// listed once, or stop at a malformed line that is named with the file and its line number.
#include "FuzzCheck.h"

#include "catalogue/ModelCatalogue.h"

#include <QtCore/QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ModelCatalogue catalogue;
    try {
        catalogue.parse(fuzzBytes(data, size), QStringLiteral("/fuzz/mp_dat.sys"));
    } catch (const CatalogueLineError& e) {
        FUZZ_CHECK(e.text().contains(QStringLiteral("（mp_dat.sys の ")) &&
                   e.text().endsWith(QStringLiteral(" 行目）")));
    }
    QSet<QString> carriers(catalogue.carriers().begin(), catalogue.carriers().end());
    FUZZ_CHECK(carriers.size() == catalogue.carriers().size());
    for (const TModelEntry& e : catalogue.entries()) {
        FUZZ_CHECK(e.Width >= 1 && e.Width <= 8192 && e.Height >= 1 && e.Height <= 8192);
        FUZZ_CHECK(e.SizeLimit > 0);
        FUZZ_CHECK(carriers.contains(e.Carrier));
    }
    return 0;
}
