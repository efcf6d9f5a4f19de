// The font command's one change to the user's registry, on the real
// registry: the default face's own link under HKCU\EUDC\950 is removed while
// the system default EUDC font is printed through that face, and written back.
#pragma once

#include "app/eudc_link_switch.h"

// The links under EUDC\950 and the program's keys, through ADVAPI32. Values
// are read and written with the wide functions, so that their bytes come back
// exactly as they were stored, whatever characters a path holds.
class CRegistryLinks : public kestra::LinkRegistry {
  public:
    bool read(kestra::LinkKey key, const std::string& name, kestra::LinkValue& value) override;
    bool has(kestra::LinkKey key, const std::string& name) override;
    bool write(kestra::LinkKey key, const std::string& name,
               const kestra::LinkValue& value) override;
    void erase(kestra::LinkKey key, const std::string& name) override;
    bool flush(kestra::LinkKey key) override;
    std::vector<std::string> names(kestra::LinkKey key) override;
    void eraseIfEmpty(kestra::LinkKey key) override;
};

// This user's processes, through KERNEL32.
class CRunningProcesses : public kestra::ProcessTable {
  public:
    kestra::RunId thisRun() override;
    bool creationOf(uint32_t processId, uint64_t& created) override;
};

void RemoveDefaultFaceAssociation();
// Leaves the holders of the removed link, and puts back the links of runs
// that have ended: at every font command and at the end.
void RestoreDefaultFaceAssociation();
// At start-up: links an earlier run removed and never wrote back.
void RecoverRemovedAssociations();
