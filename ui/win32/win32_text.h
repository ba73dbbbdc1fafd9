#pragma once
// The console's text is UTF-8; the window's is UTF-16.

#include <string>

namespace ui::win32 {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

} // namespace ui::win32
