// Icons, cursors, brushes and the module have no meaning for a stand-in's window; the
// handles only need to be non-null, as they are on Windows.
#include <windows.h>

extern "C" {

HICON LoadIconA(HINSTANCE, LPCSTR) {
    static int icon;
    return reinterpret_cast<HICON>(&icon);
}
HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
    static int cursor;
    return reinterpret_cast<HCURSOR>(&cursor);
}
HGDIOBJ GetStockObject(int) {
    static int object;
    return &object;
}
HMODULE GetModuleHandleA(LPCSTR) {
    static int module;
    return reinterpret_cast<HMODULE>(&module);
}

}  // extern "C"
