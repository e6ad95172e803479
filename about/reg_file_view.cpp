#include "about/reg_file_view.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace scrivlet {
namespace {

// An open key of a RegFileView.
class RegFileKey final : public RegistryKey {
public:
    RegFileKey(const RegFile& file, std::uint32_t root, std::string path)
        : m_file(file), m_root(root), m_path(std::move(path))
    {
    }

    RegistryQuery queryValue(std::string_view name, std::span<std::byte> buffer) const override
    {
        const RegValue* value = m_file.value(m_root, m_path, name);
        if (!value)
            return {RegistryQuery::Status::NotFound, kRegNone, 0};
        if (value->data.size() > buffer.size())
            return {RegistryQuery::Status::MoreData, value->type, value->data.size()};
        std::memcpy(buffer.data(), value->data.data(), value->data.size());
        return {RegistryQuery::Status::Ok, value->type, value->data.size()};
    }

private:
    const RegFile& m_file;
    std::uint32_t m_root;
    std::string m_path;
};

bool isRootKey(std::uint32_t root)
{
    return root == kHkeyClassesRoot || root == kHkeyCurrentUser || root == kHkeyLocalMachine ||
           root == kHkeyUsers || root == kHkeyCurrentConfig;
}

} // namespace

std::unique_ptr<RegistryKey> RegFileView::openKey(std::uint32_t root, std::string_view subkey,
                                                  std::uint32_t) const
{
    if (!isRootKey(root))
        return nullptr;
    if (!subkey.empty() && !m_file.hasKey(root, subkey))
        return nullptr;
    return std::make_unique<RegFileKey>(m_file, root, std::string(subkey));
}

} // namespace scrivlet
