#include "Platform/Files/HelperModule.h"

#include <QCoreApplication>
#include <QLibrary>

QFunctionPointer ResolveHelperModule(const char *moduleName, const char *symbol)
{
    const QString here = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString name = QLatin1String(moduleName);
    for (const QString &directory : {here, here + QLatin1String(MOLVANE_HELPERS_FROM_BINARIES "/"),
                                     here + QLatin1String("../")}) {
        QLibrary module(directory + name);
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (const QFunctionPointer resolved = module.resolve(symbol))
            return resolved;
    }
    return nullptr;
}
