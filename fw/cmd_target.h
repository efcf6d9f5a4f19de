// The root of everything that receives commands, and the update request that
// asks a command's owner whether it is enabled.
#pragma once

#include <windows.h>

#include "fw/message_map.h"
#include "fw/runtime_class.h"

class CCmdTarget : public CObjectBase {
  public:
    virtual ~CCmdTarget() = default;

    // Runs the handler of (id, code) from this object's own message map. With
    // code CN_UPDATE_COMMAND_UI, cmdUi is the update request and the update
    // handler runs instead. TRUE when a handler was found.
    virtual BOOL OnCmdMsg(UINT id, int code, CCmdUI* cmdUi);

    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }
    static const MessageMap* GetThisMessageMap();

  protected:
    // The first entry of this object's map chain that handles the message,
    // or null.
    const MessageMapEntry* FindMessageEntry(UINT message) const;
};

// One update request: for a menu item (m_pMenu set) or for a command about to
// run (m_pMenu null). Handlers call Enable; the routing records whether any
// handler saw the request.
class CCmdUI {
  public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    HMENU m_pMenu = nullptr;
    BOOL m_bEnabled = TRUE;
    BOOL m_bEnableChanged = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE);

    // Routes the request to target. With no update handler, the item is
    // disabled when disableIfNoHandler and nothing would run the command.
    // TRUE when an update handler ran.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);
};
