#include "platform/message_box_1250.h"

#include "platform/win32/widen_1250.h"

std::vector<wchar_t> Widen1250(const char* text) {
    if (text == nullptr) text = "";
    int n = MultiByteToWideChar(1250, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::vector<wchar_t>(1, L'\0');
    std::vector<wchar_t> wide((size_t)n);
    if (MultiByteToWideChar(1250, 0, text, -1, wide.data(), n) != n)
        return std::vector<wchar_t>(1, L'\0');
    return wide;
}

int MessageBox1250(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::vector<wchar_t> wideText = Widen1250(text);
    std::vector<wchar_t> wideCaption = Widen1250(caption);
    return MessageBoxW(owner, wideText.data(), wideCaption.data(), type);
}
