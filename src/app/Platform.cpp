#include "app/Platform.h"

namespace Platform {

QString FolderOfModulePath(const QString& moduleFileName)
{
    const qsizetype cut = std::max(moduleFileName.lastIndexOf(u'\\'), moduleFileName.lastIndexOf(u'/'));
    return cut < 0 ? QString() : moduleFileName.left(cut);
}

QString AppFolder() { return FolderOfModulePath(ModuleFileName()); }

} // namespace Platform
