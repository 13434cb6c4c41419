#include "framework/message_map.h"

const MessageMap* CCmdTarget::GetThisMessageMap() {
  static const MessageMapEntry entries[] = {{0, 0, 0, 0, nullptr}};
  static const MessageMap map = {nullptr, entries};
  return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const {
  return GetThisMessageMap();
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
  for (const MessageMap* map = GetMessageMap(); map; map = map->baseMap ? map->baseMap() : nullptr) {
    for (const MessageMapEntry* entry = map->entries; entry->dispatch; ++entry) {
      if (entry->message != message) continue;
      if (message != WM_COMMAND) return entry;
      if (entry->code == code && entry->firstId <= id && id <= entry->lastId) return entry;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
  const MessageMapEntry* entry = FindMessageEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
  if (!entry) return FALSE;
  entry->dispatch(this, 0, 0);
  return TRUE;
}
