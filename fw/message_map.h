// Per-class message maps: each class has a static table of the messages and
// commands it handles, chained to its base class's table. Handlers are
// captureless lambdas written by the macros below, so every call is type-checked
// against the member it names and no member-pointer casts are needed.
#pragma once

#include <windows.h>

class CCmdTarget;
class CCmdUI;

// The notification code of an update request (WM_COMMAND codes are >= 0).
constexpr int CN_UPDATE_COMMAND_UI = -1;
constexpr int CN_COMMAND = 0;
// Asks along the route whether a command handler exists, without running it.
constexpr int CN_QUERY_COMMAND = -2;

struct MessageMapEntry {
    UINT message; // WM_COMMAND for commands and notifications, 0 for update handlers
    int code;     // notification code, CN_COMMAND, or CN_UPDATE_COMMAND_UI
    UINT id;      // command or control id; unused for plain messages
    void (*onCommand)(CCmdTarget* target);
    void (*onUpdate)(CCmdTarget* target, CCmdUI* cmdUi);
    LRESULT (*onMessage)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries; // ends with an entry whose handlers are all null
};

#define DECLARE_MESSAGE_MAP()                                                                      \
  public:                                                                                          \
    static const MessageMap* GetThisMessageMap();                                                  \
    const MessageMap* GetMessageMap() const override {                                             \
        return GetThisMessageMap();                                                                \
    }

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const MessageMap* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr, nullptr, nullptr }                                                         \
    }                                                                                              \
    ;                                                                                              \
    static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};                     \
    return &map;                                                                                   \
    }

#define ON_CONTROL(notifyCode, controlId, memberFn)                                                \
    {WM_COMMAND,                                                                                   \
     static_cast<int>(notifyCode),                                                                 \
     static_cast<UINT>(controlId),                                                                 \
     [](CCmdTarget* t) { static_cast<ThisClass*>(t)->memberFn(); },                                \
     nullptr,                                                                                      \
     nullptr},

#define ON_COMMAND(commandId, memberFn) ON_CONTROL(CN_COMMAND, commandId, memberFn)
#define ON_BN_CLICKED(controlId, memberFn) ON_CONTROL(BN_CLICKED, controlId, memberFn)
#define ON_CBN_SELCHANGE(controlId, memberFn) ON_CONTROL(CBN_SELCHANGE, controlId, memberFn)
#define ON_EN_SETFOCUS(controlId, memberFn) ON_CONTROL(EN_SETFOCUS, controlId, memberFn)
#define ON_EN_UPDATE(controlId, memberFn) ON_CONTROL(EN_UPDATE, controlId, memberFn)
#define ON_LBN_SELCHANGE(controlId, memberFn) ON_CONTROL(LBN_SELCHANGE, controlId, memberFn)

#define ON_UPDATE_COMMAND_UI(commandId, memberFn)                                                  \
    {0,                                                                                            \
     CN_UPDATE_COMMAND_UI,                                                                         \
     static_cast<UINT>(commandId),                                                                 \
     nullptr,                                                                                      \
     [](CCmdTarget* t, CCmdUI* ui) { static_cast<ThisClass*>(t)->memberFn(ui); },                  \
     nullptr},

// A window message whose handler takes and returns the raw parameters.
#define ON_MESSAGE(message, memberFn)                                                              \
    {message, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {           \
         return static_cast<ThisClass*>(t)->memberFn(w, l);                                        \
     }},

#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {           \
         return static_cast<ThisClass*>(t)->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(l));        \
     }},

#define ON_WM_DRAWITEM()                                                                           \
    {WM_DRAWITEM, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {       \
         static_cast<ThisClass*>(t)->OnDrawItem(static_cast<int>(w),                               \
                                                reinterpret_cast<LPDRAWITEMSTRUCT>(l));            \
         return TRUE;                                                                              \
     }},

#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {              \
         static_cast<ThisClass*>(t)->OnPaint();                                                    \
         return 0;                                                                                 \
     }},

#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {           \
         static_cast<ThisClass*>(t)->OnSize(static_cast<UINT>(w), LOWORD(l), HIWORD(l));           \
         return 0;                                                                                 \
     }},

#define ON_WM_CLOSE()                                                                              \
    {WM_CLOSE, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {              \
         static_cast<ThisClass*>(t)->OnClose();                                                    \
         return 0;                                                                                 \
     }},

#define ON_WM_DESTROY()                                                                            \
    {WM_DESTROY, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {            \
         static_cast<ThisClass*>(t)->OnDestroy();                                                  \
         return 0;                                                                                 \
     }},

#define ON_WM_SETFOCUS()                                                                           \
    {WM_SETFOCUS, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {         \
         static_cast<ThisClass*>(t)->OnSetFocus(reinterpret_cast<HWND>(w));                        \
         return 0;                                                                                 \
     }},

#define ON_WM_INITMENUPOPUP()                                                                      \
    {WM_INITMENUPOPUP, 0, 0, nullptr, nullptr, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {  \
         static_cast<ThisClass*>(t)->OnInitMenuPopup(reinterpret_cast<HMENU>(w), LOWORD(l),        \
                                                     HIWORD(l) != 0);                              \
         return 0;                                                                                 \
     }},
