#pragma once

#include "about/registry_view.h"

namespace scrivlet {

#ifdef _WIN32
// The Windows registry itself, read through the ANSI registry functions.
class WindowsRegistry final : public RegistryView {
public:
    std::unique_ptr<RegistryKey> openKey(std::uint32_t root, std::string_view subkey,
                                         std::uint32_t access) const override;
};
#endif

} // namespace scrivlet
