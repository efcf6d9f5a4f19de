#include "app/eudc_link_switch.h"

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

} // namespace

void removeDefaultFaceLink(LinkRegistry& registry) {
    if (appState.associationSwapped)
        return;
    EudcSwitchedOff off;
    LinkValue value;
    if (!registry.readLink(appState.defaultFaceName, value))
        return;
    // Without a copy on disk, a crash while the link is away would lose it.
    if (!registry.keepCopy(appState.defaultFaceName, value))
        return;
    registry.deleteLink(appState.defaultFaceName);
    holdLink(value);
}

void restoreDefaultFaceLink(LinkRegistry& registry) {
    if (!appState.associationSwapped)
        return;
    EudcSwitchedOff off;
    if (!registry.writeLink(appState.defaultFaceName, heldLink()))
        return;
    registry.dropCopy(appState.defaultFaceName);
    forgetHeldLink();
}

void recoverRemovedLinks(LinkRegistry& registry) {
    for (const RemovedLink& link : registry.copies()) {
        bool settled = registry.hasLink(link.face);
        if (!settled) {
            EudcSwitchedOff off;
            settled = registry.writeLink(link.face, link.value);
        }
        if (settled)
            registry.dropCopy(link.face);
    }
}

} // namespace kestra
