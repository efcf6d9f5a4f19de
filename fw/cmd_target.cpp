#include "fw/cmd_target.h"

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, 0, 0, nullptr, nullptr, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

namespace {

bool isEnd(const MessageMapEntry& e) {
    return !e.onCommand && !e.onUpdate && !e.onMessage;
}

const MessageMapEntry* findCommandEntry(const MessageMap* map, UINT id, int code) {
    for (; map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; !isEnd(*e); ++e) {
            const bool isUpdate = code == CN_UPDATE_COMMAND_UI;
            if (e->id != id || e->code != code)
                continue;
            if ((isUpdate && e->onUpdate) ||
                (!isUpdate && e->onCommand && e->message == WM_COMMAND))
                return e;
        }
    }
    return nullptr;
}

} // namespace

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, CCmdUI* cmdUi) {
    if (code == CN_QUERY_COMMAND)
        return findCommandEntry(GetMessageMap(), id, CN_COMMAND) != nullptr;
    const MessageMapEntry* entry = findCommandEntry(GetMessageMap(), id, code);
    if (!entry)
        return FALSE;
    if (code == CN_UPDATE_COMMAND_UI) {
        // A request without a CCmdUI only asks whether a handler exists.
        if (cmdUi)
            entry->onUpdate(this, cmdUi);
    } else {
        entry->onCommand(this);
    }
    return TRUE;
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; !isEnd(*e); ++e) {
            if (e->message == message && e->onMessage)
                return e;
        }
    }
    return nullptr;
}

void CCmdUI::Enable(BOOL on) {
    m_bEnabled = on;
    m_bEnableChanged = TRUE;
    if (m_pMenu)
        EnableMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
    m_bEnableChanged = FALSE;
    const BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
    // An item nobody would handle is greyed rather than offered in vain.
    if (!handled && disableIfNoHandler)
        Enable(target->OnCmdMsg(m_nID, CN_QUERY_COMMAND, nullptr));
    return handled;
}
