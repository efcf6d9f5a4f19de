#include "table/pdf/pdf_document.h"

#include <exception>
#include <utility>

#include "table/fonts/font_subset.h"
#include "table/pdf/pdf_cid_font.h"
#include "table/pdf/pdf_objects.h"

namespace kestra {
namespace {

// Numbers for the outline items of one level, so that each can name its
// neighbours before any is written.
std::vector<int32_t> reserveItems(PdfObjects& file, size_t count) {
    std::vector<int32_t> items;
    for (size_t i = 0; i < count; ++i)
        items.push_back(file.reserve());
    return items;
}

void writeEnds(PdfDictionary& parent, const std::vector<int32_t>& items) {
    parent.key("First").reference(items.front());
    parent.key("Last").reference(items.back());
}

// The entries under parent, each pointing at its page; an entry with children
// starts closed.
void writeItems(PdfObjects& file, int32_t parent, const std::vector<OutlineEntry>& entries,
                const std::vector<int32_t>& items, const std::vector<int32_t>& pages) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const OutlineEntry& entry = entries[i];
        const std::vector<int32_t> children = reserveItems(file, entry.children.size());
        {
            PdfDictionary item = file.value(items[i]).dictionary();
            item.key("Title").textString(entry.title);
            item.key("Parent").reference(parent);
            const size_t page = static_cast<size_t>(entry.page - 1);
            if (page < pages.size()) {
                PdfArray destination = item.key("Dest").array();
                destination.item().reference(pages[page]);
                destination.item().name("Fit");
            }
            if (i > 0)
                item.key("Prev").reference(items[i - 1]);
            if (i + 1 < items.size())
                item.key("Next").reference(items[i + 1]);
            if (!children.empty()) {
                writeEnds(item, children);
                // Negative: closed, its children hidden until opened.
                item.key("Count").integer(-static_cast<int64_t>(children.size()));
            }
        }
        writeItems(file, items[i], entry.children, children, pages);
    }
}

} // namespace

// The catalog, the page tree and the one resource dictionary of every page
// are written last, when the pages and the fonts they name are known.
struct PdfDocument::Objects {
    PdfObjects file;
    double width = 0;
    double height = 0;
    int32_t catalog = 0;
    int32_t pageTree = 0;
    int32_t resources = 0;
    int32_t outline = 0;
    int32_t information = 0;
    std::vector<int32_t> pages;
    std::vector<std::pair<std::string, int32_t>> fonts; // resource name, Type 0 font

    void writeCatalog() {
        PdfDictionary catalogEntries = file.value(catalog).dictionary();
        catalogEntries.key("Type").name("Catalog");
        catalogEntries.key("Pages").reference(pageTree);
        if (outline != 0) {
            catalogEntries.key("Outlines").reference(outline);
            catalogEntries.key("PageMode").name("UseOutlines");
        }
    }

    void writePageTree() {
        PdfDictionary tree = file.value(pageTree).dictionary();
        tree.key("Type").name("Pages");
        {
            PdfArray kids = tree.key("Kids").array();
            for (int32_t page : pages)
                kids.item().reference(page);
        }
        tree.key("Count").integer(static_cast<int64_t>(pages.size()));
    }

    void writeResources() {
        PdfDictionary entries = file.value(resources).dictionary();
        {
            PdfArray procedureSets = entries.key("ProcSet").array();
            procedureSets.item().name("PDF");
            procedureSets.item().name("Text");
        }
        PdfDictionary fontEntries = entries.key("Font").dictionary();
        for (const auto& [name, font] : fonts)
            fontEntries.key(name).reference(font);
    }
};

PdfDocument::PdfDocument(double widthPoints, double heightPoints)
    : objects_(std::make_unique<Objects>()) {
    Objects& o = *objects_;
    o.width = widthPoints;
    o.height = heightPoints;
    o.catalog = o.file.reserve();
    o.pageTree = o.file.reserve();
    o.resources = o.file.reserve();
}

PdfDocument::~PdfDocument() = default;

std::string PdfDocument::addPage(const std::string& content) try {
    Objects& o = *objects_;
    const int32_t contents = o.file.addStream(content);
    const int32_t page = o.file.reserve();
    {
        PdfDictionary entries = o.file.value(page).dictionary();
        entries.key("Type").name("Page");
        entries.key("Parent").reference(o.pageTree);
        {
            PdfArray box = entries.key("MediaBox").array();
            box.item().integer(0);
            box.item().integer(0);
            box.item().number(o.width);
            box.item().number(o.height);
        }
        entries.key("Resources").reference(o.resources);
        entries.key("Contents").reference(contents);
    }
    o.pages.push_back(page);
    return std::string();
} catch (const std::exception& error) {
    return error.what();
}

std::string PdfDocument::addFont(const char* resourceName, const SubsetFont& font) try {
    Objects& o = *objects_;
    o.fonts.emplace_back(resourceName, embedCidFont(o.file, resourceName, font));
    return std::string();
} catch (const std::exception& error) {
    return error.what();
}

void PdfDocument::setOutline(const std::vector<OutlineEntry>& entries) {
    if (entries.empty())
        return;
    Objects& o = *objects_;
    o.outline = o.file.reserve();
    const std::vector<int32_t> items = reserveItems(o.file, entries.size());
    {
        PdfDictionary outlines = o.file.value(o.outline).dictionary();
        outlines.key("Type").name("Outlines");
        writeEnds(outlines, items);
        outlines.key("Count").integer(static_cast<int64_t>(entries.size()));
    }
    writeItems(o.file, o.outline, entries, items, o.pages);
}

void PdfDocument::setInformation(const DocumentInformation& information) {
    Objects& o = *objects_;
    if (o.information == 0)
        o.information = o.file.reserve();
    PdfDictionary entries = o.file.value(o.information).dictionary();
    const std::pair<const char*, const std::string*> fields[] = {
        {"Title", &information.title},
        {"Subject", &information.subject},
        {"Creator", &information.creator},
    };
    for (const auto& [key, value] : fields) {
        if (!value->empty())
            entries.key(key).textString(*value);
    }
}

std::string PdfDocument::write(std::FILE* out) try {
    Objects& o = *objects_;
    o.writeCatalog();
    o.writePageTree();
    o.writeResources();
    return o.file.write(out, o.catalog, o.information);
} catch (const std::exception& error) {
    return error.what();
}

} // namespace kestra
