#pragma once
// <windows.h> without its MessageBox macro, which would rename controls::MessageBox.

#include <windows.h>

#undef MessageBox
