#pragma once

#include "about/reg_file.h"
#include "about/registry_view.h"

namespace scrivlet {

// A registry made of one .reg file's keys and values. Root keys always exist; a key exists
// when the file names it or one of its subkeys. Read-only: the access asked for is not checked.
class RegFileView final : public RegistryView {
public:
    explicit RegFileView(RegFile file) : m_file(std::move(file)) {}

    std::unique_ptr<RegistryKey> openKey(std::uint32_t root, std::string_view subkey,
                                         std::uint32_t access) const override;
    const RegFile& file() const { return m_file; }

private:
    RegFile m_file;
};

} // namespace scrivlet
