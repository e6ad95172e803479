// Feeds arbitrary bytes to the registry export (.reg) parser, then reads every value it found
// back through the registry view as the About box would.
#include "about/reg_file.h"
#include "about/reg_file_view.h"
#include "about/sys_info.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace scrivlet;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RegFile file = RegFile::parse(bytes);
    const RegFileView view(file);

    file.forEachValue([&](std::uint32_t root, const std::string& path, const std::string& name,
                          const RegValue& value) {
        const RegValue* found = file.value(root, path, name);
        if (!found || !(*found == value) || !file.hasKey(root, path))
            __builtin_trap();
        std::string text = "unchanged";
        try {
            const bool read = GetKeyValue(view, root, path, name, text);
            if (read != (value.data.size() <= kValueBufferSize))
                __builtin_trap();
            if (read && value.type == kRegSz) {
                std::string expected = value.data;
                if (expected.back() == '\0')
                    expected.pop_back();
                if (text != expected)
                    __builtin_trap();
            }
        } catch (const RegistryValueError&) {
            if (!value.data.empty())
                __builtin_trap();
        }
    });

    (void)findSysInfoTool(view, [](const std::string&) { return false; });
    return 0;
}
