#include "app/eudc_link_switch.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "eudc/app_state.h"

namespace kestra {
namespace {

constexpr size_t kCreationDigits = 16;

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
    const std::vector<char>& data = appState.savedAssociation;
    return LinkValue{std::string(data.begin(), data.end()), appState.savedAssociationType};
}

void holdLink(const LinkValue& value) {
    appState.savedAssociation.assign(value.data.begin(), value.data.end());
    appState.savedAssociationType = value.type;
    appState.associationSwapped = 1;
}

void forgetHeldLink() {
    appState.associationSwapped = 0;
    appState.savedAssociation.clear();
    appState.savedAssociationType = 0;
}

// A holder record says everything in its name; its value is empty.
const LinkValue kHolderRecord{};

// The holder records, each with its run and the face it holds.
struct Holder {
    std::string name;
    RunId run;
    std::string face;
    bool ours = false; // a record of this program's form
};

std::vector<Holder> holders(LinkRegistry& registry) {
    std::vector<Holder> all;
    for (const std::string& name : registry.names(LinkKey::linkHolders)) {
        Holder holder{name, {}, {}, false};
        holder.ours = parseHolderName(name, holder.run, holder.face);
        all.push_back(holder);
    }
    return all;
}

// The very process that was recorded, not a later one given the same id.
bool isRunning(ProcessTable& processes, const RunId& run) {
    uint64_t created = 0;
    return processes.creationOf(run.processId, created) && created == run.created;
}

// True while a run that is still going holds the face's link; this run's
// own record counts only when `countingThisRun`.
bool heldByARunningRun(LinkRegistry& registry, ProcessTable& processes, const std::string& face,
                       bool countingThisRun) {
    const RunId self = processes.thisRun();
    for (const Holder& holder : holders(registry)) {
        const bool isSelf =
            holder.run.processId == self.processId && holder.run.created == self.created;
        if (holder.ours && holder.face == face && (countingThisRun || !isSelf) &&
            isRunning(processes, holder.run))
            return true;
    }
    return false;
}

// Every holder of the face, this run's record and those of runs that ended.
// The holders go before the copy: a copy without a holder whose link is back
// is dropped by whoever finds it next.
void forgetLink(LinkRegistry& registry, const std::string& face) {
    for (const Holder& holder : holders(registry))
        if (holder.ours && holder.face == face)
            registry.erase(LinkKey::linkHolders, holder.name);
    registry.erase(LinkKey::removedLinks, face);
    registry.flush(LinkKey::removedLinks);
}

// Leaves nothing of the program's behind once nothing is held.
void eraseEmptyKeys(LinkRegistry& registry) {
    registry.eraseIfEmpty(LinkKey::removedLinks);
    registry.eraseIfEmpty(LinkKey::linkHolders);
    registry.eraseIfEmpty(LinkKey::program);
}

// Takes the face's present link away, its copy on disk first. A copy of an
// earlier removal is replaced: a link the user made since is the newer one.
bool takeLinkAway(LinkRegistry& registry, const std::string& face, const LinkValue& link) {
    // Without a copy on disk, a crash while the link is away would lose it.
    if (!registry.write(LinkKey::removedLinks, face, link) ||
        !registry.flush(LinkKey::removedLinks))
        return false;
    registry.erase(LinkKey::eudcLinks, face);
    return true;
}

} // namespace

std::string holderName(const RunId& run, const std::string& face) {
    char text[48] = {};
    std::snprintf(text, sizeof text, "%" PRIu32 ":%016" PRIX64 ":", run.processId, run.created);
    return text + face;
}

bool parseHolderName(const std::string& name, RunId& run, std::string& face) {
    const size_t colon = name.find(':');
    const size_t faceAt = colon + 1 + kCreationDigits;
    if (colon == 0 || colon == std::string::npos || faceAt >= name.size() || name[faceAt] != ':')
        return false;
    const std::string id = name.substr(0, colon);
    const std::string created = name.substr(colon + 1, kCreationDigits);
    if (id.find_first_not_of("0123456789") != std::string::npos ||
        created.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
        return false;
    run.processId = static_cast<uint32_t>(std::strtoul(id.c_str(), nullptr, 10));
    run.created = std::strtoull(created.c_str(), nullptr, 16);
    face = name.substr(faceAt + 1);
    return !face.empty();
}

void removeDefaultFaceLink(LinkRegistry& registry, ProcessTable& processes) {
    if (appState.associationSwapped)
        return;
    const std::string face = appState.defaultFaceName;
    const std::string self = holderName(processes.thisRun(), face);
    EudcSwitchedOff off;
    // Recorded first, so that nobody puts the link back under this run.
    if (!registry.write(LinkKey::linkHolders, self, kHolderRecord))
        return;
    LinkValue link;
    if (registry.read(LinkKey::eudcLinks, face, link)) {
        if (takeLinkAway(registry, face, link)) {
            holdLink(link);
            return;
        }
    } else if (registry.read(LinkKey::removedLinks, face, link)) {
        // Another run has it away already, or one that ended left it away.
        holdLink(link);
        return;
    }
    registry.erase(LinkKey::linkHolders, self);
    eraseEmptyKeys(registry);
}

void restoreDefaultFaceLink(LinkRegistry& registry, ProcessTable& processes) {
    if (!appState.associationSwapped)
        return;
    const std::string face = appState.defaultFaceName;
    EudcSwitchedOff off;
    if (heldByARunningRun(registry, processes, face, false)) {
        registry.erase(LinkKey::linkHolders, holderName(processes.thisRun(), face));
        forgetHeldLink();
        return;
    }
    // The copy on disk is the newest: another run may have taken it away
    // anew after the user linked the face again.
    LinkValue link;
    if (!registry.read(LinkKey::removedLinks, face, link))
        link = heldLink();
    // A link made meanwhile is the user's newer choice, and stays.
    if (!registry.has(LinkKey::eudcLinks, face) && !registry.write(LinkKey::eudcLinks, face, link))
        return;
    forgetLink(registry, face);
    forgetHeldLink();
    eraseEmptyKeys(registry);
}

void recoverRemovedLinks(LinkRegistry& registry, ProcessTable& processes) {
    for (const std::string& face : registry.names(LinkKey::removedLinks)) {
        if (heldByARunningRun(registry, processes, face, true))
            continue;
        bool settled = registry.has(LinkKey::eudcLinks, face);
        LinkValue link;
        if (!settled && registry.read(LinkKey::removedLinks, face, link)) {
            EudcSwitchedOff off;
            settled = registry.write(LinkKey::eudcLinks, face, link);
        }
        if (settled)
            forgetLink(registry, face);
    }
    // Runs that ended, and records that are none of this program's.
    for (const Holder& holder : holders(registry))
        if (!holder.ours || !isRunning(processes, holder.run))
            registry.erase(LinkKey::linkHolders, holder.name);
    eraseEmptyKeys(registry);
}

} // namespace kestra
