#pragma once

#include <QtGlobal>

/// The program's own modules (kestrum_sound, kestrum_network): parts with heavy libraries behind
/// them, loaded at their first use instead of linked, so that those libraries cost nothing at
/// start-up. A module is looked for beside the program (the build folder, a portable copy,
/// Windows), then where it is installed relative to the program.
namespace Modules {

/// The function \a symbol of \a module (its name without folder or suffix), loading the module
/// at the first call; nullptr when the module or the function is not there. A missing module is
/// logged once (category kestrum.modules) with the places looked in, and not looked for again.
/// Safe from any thread: a sync's worker thread may be the first to need the network.
QFunctionPointer Resolve(const char* module, const char* symbol);

/// The same, as the function type \a Function the caller knows it by.
template <typename Function> Function Resolve(const char* module, const char* symbol)
{
    return reinterpret_cast<Function>(Resolve(module, symbol));
}

} // namespace Modules
