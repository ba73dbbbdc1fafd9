#include "ui/win32/win32_text.h"

#include "ui/win32/windows_api.h"

namespace ui::win32 {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int length = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, out.data(), size);
    return out;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace ui::win32
