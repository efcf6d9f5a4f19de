// The font command's one change to the user's registry, on the real
// registry: the default face's own link under HKCU\EUDC\950 is removed while
// the system default EUDC font is printed through that face, and written back.
#pragma once

#include "app/eudc_link_switch.h"

// Where the program keeps its copy of a link it has removed, under
// HKEY_CURRENT_USER: one value per face, with the link's own data and type.
extern const char kRemovedLinksKey[];
// Which run holds each copy, under HKEY_CURRENT_USER: one REG_SZ per face,
// "<process id>:<process creation time>", the creation time as 16 hex digits
// of a FILETIME, so that a process id used again by a new process is not
// taken for the holder.
extern const char kLinkHoldersKey[];

// The links under EUDC\950 and the program's copies, through ADVAPI32.
class CRegistryLinks : public kestra::LinkRegistry {
  public:
    bool readLink(const char* face, kestra::LinkValue& value) override;
    bool hasLink(const char* face) override;
    bool writeLink(const char* face, const kestra::LinkValue& value) override;
    void deleteLink(const char* face) override;
    bool keepCopy(const char* face, const kestra::LinkValue& value) override;
    void dropCopy(const char* face) override;
    std::vector<kestra::RemovedLink> copies() override;
    bool recordHolder(const char* face) override;
    void dropHolder(const char* face) override;
    bool heldByAnotherRun(const char* face) override;
    std::vector<std::string> heldFaces() override;
};

void RemoveDefaultFaceAssociation();
// Does nothing unless a link is held; a failed write keeps it held.
void RestoreDefaultFaceAssociation();
// At start-up: links an earlier run removed and never wrote back.
void RecoverRemovedAssociations();
