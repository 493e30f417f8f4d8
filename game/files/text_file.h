#pragma once
// Reading one of the game's text tables whole through CFile (a pack archive serves too).
#include <string_view>

#include "foundation/auxiliary/file.h"

// Calls parse(text) with the whole file: 0, or 1 when it cannot be read (parse not called).
template <class Parse>
int ReadTextFile(const tovarineGameSDK3rd::VTL::VTLstring& name, Parse&& parse) {
    tovarineGameSDK3rd::Auxiliary::CFile file;
    if (file.Read(name) != 0) return 1;
    parse(std::string_view(static_cast<const char*>(file.GetMemory()), file.GetSize()));
    return 0;
}
