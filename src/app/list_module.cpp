#include "app/list_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

const ListModule* g_module = nullptr;

// Where the module may be: beside the program (the build tree, the Windows
// folder), or in the library folder of an installed program.
QStringList candidates() {
    const QString dir = QCoreApplication::applicationDirPath();
    QStringList out{dir + QStringLiteral("/corvala_list")};
#ifdef CORVALA_INSTALLED_MODULE_DIR
    out << QDir::cleanPath(dir + QStringLiteral("/" CORVALA_INSTALLED_MODULE_DIR "/corvala_list"));
#endif
    return out;
}

} // namespace

void provideListModule(const ListModule* module) {
    g_module = module;
}

const ListModule* listModule(QString* error) {
    if (g_module)
        return g_module;
    QStringList reasons;
    for (const QString& path : candidates()) {
        // Kept loaded for the rest of the run: its windows and code stay in use.
        auto* library = new QLibrary(path);
        library->setLoadHints(QLibrary::PreventUnloadHint);
        const auto entry = reinterpret_cast<ListModuleEntry>(library->resolve(kListModuleEntry));
        if (entry && (g_module = entry()))
            return g_module;
        reasons << library->errorString();
        delete library;
    }
    if (error)
        *error = QStringLiteral("无法载入下料单模块（%1）").arg(reasons.join(QStringLiteral("；")));
    return nullptr;
}
