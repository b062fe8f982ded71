#include "foundation/QtTranslations.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLibraryInfo>
#include <QtCore/QLocale>
#include <QtCore/QTranslator>

#include <cstdio>

QString QtTranslations::folder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool QtTranslations::install()
{
    // The file dialog's types and dates follow the application's locale.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* translator = new QTranslator(QCoreApplication::instance());
    // The interface is Japanese whatever the desktop's language, so the Japanese file is asked for by name.
    if (!translator->load(QStringLiteral("qtbase_ja"), folder())) {
        std::fprintf(stderr, "pictorel: Qt's Japanese translations were not found in %s\n", qPrintable(folder()));
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
