#include "app/eudc_link_switch.h"

#include <algorithm>
#include <cstring>

namespace kestra {
namespace {

// The platform applies EUDC\950 anew only while its EUDC support is switched
// off and on again around a change.
class EudcSwitchedOff {
  public:
    EudcSwitchedOff() {
        if (appState.enableEudc)
            appState.enableEudc(0);
    }
    ~EudcSwitchedOff() {
        if (appState.enableEudc)
            appState.enableEudc(1);
    }
    EudcSwitchedOff(const EudcSwitchedOff&) = delete;
    EudcSwitchedOff& operator=(const EudcSwitchedOff&) = delete;
};

LinkValue heldLink() {
    LinkValue value;
    std::memcpy(value.data, appState.savedAssociation, sizeof value.data);
    value.size = appState.savedAssociationSize;
    value.type = appState.savedAssociationType;
    return value;
}

void holdLink(const LinkValue& value) {
    std::memcpy(appState.savedAssociation, value.data, sizeof appState.savedAssociation);
    appState.savedAssociationSize = value.size;
    appState.savedAssociationType = value.type;
    appState.associationSwapped = 1;
}

void forgetHeldLink() {
    appState.associationSwapped = 0;
    appState.savedAssociation[0] = '\0';
    appState.savedAssociationSize = 0;
    appState.savedAssociationType = 0;
}

// The holder goes before the copy, so that no run starting meanwhile ever
// sees a copy without its holder and takes it for one left behind. It is
// dropped before the copy for the same reason, the other way round: a copy
// without a holder whose link is back is only dropped by the next start.
void forgetCopy(LinkRegistry& registry, const char* face) {
    registry.dropHolder(face);
    registry.dropCopy(face);
}

} // namespace

void removeDefaultFaceLink(LinkRegistry& registry) {
    if (appState.associationSwapped)
        return;
    const char* face = appState.defaultFaceName;
    // Its copy, and the face's value, are that run's until it ends.
    if (registry.heldByAnotherRun(face))
        return;
    EudcSwitchedOff off;
    LinkValue value;
    if (!registry.readLink(face, value))
        return;
    if (!registry.recordHolder(face))
        return;
    // Without a copy on disk, a crash while the link is away would lose it.
    if (!registry.keepCopy(face, value)) {
        registry.dropHolder(face);
        return;
    }
    registry.deleteLink(face);
    holdLink(value);
}

void restoreDefaultFaceLink(LinkRegistry& registry) {
    if (!appState.associationSwapped)
        return;
    const char* face = appState.defaultFaceName;
    EudcSwitchedOff off;
    // A link made meanwhile is the user's newer choice, and stays.
    if (!registry.hasLink(face) && !registry.writeLink(face, heldLink()))
        return;
    forgetCopy(registry, face);
    forgetHeldLink();
}

void recoverRemovedLinks(LinkRegistry& registry) {
    const std::vector<RemovedLink> copies = registry.copies();
    for (const RemovedLink& link : copies) {
        if (registry.heldByAnotherRun(link.face))
            continue;
        bool settled = registry.hasLink(link.face);
        if (!settled) {
            EudcSwitchedOff off;
            settled = registry.writeLink(link.face, link.value);
        }
        if (settled)
            forgetCopy(registry, link.face);
    }
    // A run that ended between recording itself and keeping its copy.
    for (const std::string& face : registry.heldFaces()) {
        const bool hasCopy =
            std::any_of(copies.begin(), copies.end(),
                        [&](const RemovedLink& link) { return face == link.face; });
        if (!hasCopy && !registry.heldByAnotherRun(face.c_str()))
            registry.dropHolder(face.c_str());
    }
}

} // namespace kestra
