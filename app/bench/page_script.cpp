#include "app/bench/page_script.h"

#include <cstdint>

namespace floorbench {
namespace {

// The very font that the page drawing's GDI surface makes (print/gdi_surface.cpp).
HFONT createPageFont(int32_t height, const char* face) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, CHINESEBIG5_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                       FIXED_PITCH | FF_MODERN, face);
}

} // namespace

// The DC's own font, pen and brush are objects 1 to 3: a replay learns their
// handles from what its first selections displace.
PageRecorder::PageRecorder(HDC measuring) : measuring_(measuring) {
    selected_[Kind::Font] = add(Object(Kind::Font));
    selected_[Kind::Pen] = add(Object(Kind::Pen));
    selected_[Kind::Brush] = add(Object(Kind::Brush));
    nullBrush_ = add(Object(Kind::Brush));
    script_.emplace_back(Step::NullBrush, nullBrush_);
}

int32_t PageRecorder::add(Object object) {
    objects_.push_back(std::move(object));
    return static_cast<int32_t>(objects_.size());
}

int32_t PageRecorder::idOf(kestra::SurfaceObject object) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(object));
}

kestra::SurfaceObject PageRecorder::handleOf(int32_t id) {
    return reinterpret_cast<kestra::SurfaceObject>(static_cast<intptr_t>(id));
}

kestra::SurfaceObject PageRecorder::createFont(int32_t height, const char* face) {
    const int32_t id = add(Object(Kind::Font, height, face));
    script_.emplace_back(Step::CreateFont, id, height, 0, 0, face);
    return handleOf(id);
}

kestra::SurfaceObject PageRecorder::createRulePen() {
    const int32_t id = add(Object(Kind::Pen));
    script_.emplace_back(Step::CreateRulePen, id);
    return handleOf(id);
}

kestra::SurfaceObject PageRecorder::nullBrush() {
    return handleOf(nullBrush_);
}

kestra::SurfaceObject PageRecorder::select(kestra::SurfaceObject object) {
    const int32_t id = idOf(object);
    int32_t& selected = selected_[objects_.at(static_cast<size_t>(id - 1)).kind];
    const int32_t displaced = selected;
    selected = id;
    script_.emplace_back(Step::Select, id, displaced);
    return handleOf(displaced);
}

void PageRecorder::deleteObject(kestra::SurfaceObject object) {
    script_.emplace_back(Step::Delete, idOf(object));
}

void PageRecorder::textOut(int32_t x, int32_t y, const char* text, int length) {
    script_.emplace_back(Step::Text, x, y, 0, 0, std::string(text, static_cast<size_t>(length)));
}

void PageRecorder::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    script_.emplace_back(Step::Rectangle, left, top, right, bottom);
}

void PageRecorder::moveTo(int32_t x, int32_t y) {
    script_.emplace_back(Step::MoveTo, x, y);
}

void PageRecorder::lineTo(int32_t x, int32_t y) {
    script_.emplace_back(Step::LineTo, x, y);
}

int32_t PageRecorder::textWidth(const char* text, int length) {
    const Object& font = objects_.at(static_cast<size_t>(selected_[Kind::Font] - 1));
    HFONT measured = createPageFont(font.height, font.face.c_str());
    if (!measured)
        return 0;
    HGDIOBJ kept = SelectObject(measuring_, measured);
    SIZE size{};
    GetTextExtentPoint32A(measuring_, text, length, &size);
    SelectObject(measuring_, kept);
    DeleteObject(measured);
    return size.cx;
}

PageReplayer::PageReplayer(HDC dc, ObjectLifetime lifetime) : dc_(dc), lifetime_(lifetime) {}

PageReplayer::~PageReplayer() {
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
    if (pen_)
        DeleteObject(pen_);
}

HGDIOBJ& PageReplayer::slot(int32_t id) {
    if (handles_.size() <= static_cast<size_t>(id))
        handles_.resize(static_cast<size_t>(id) + 1);
    return handles_[static_cast<size_t>(id)];
}

HGDIOBJ PageReplayer::fontFor(const PageStep& step) {
    if (lifetime_ == ObjectLifetime::Page)
        return createPageFont(step.b, step.text.c_str());
    HFONT& font = fonts_[{step.b, step.text}];
    if (!font)
        font = createPageFont(step.b, step.text.c_str());
    return font;
}

HGDIOBJ PageReplayer::rulePen() {
    if (lifetime_ == ObjectLifetime::Page)
        return CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    if (!pen_)
        pen_ = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    return pen_;
}

void PageReplayer::release(int32_t id) {
    HGDIOBJ& object = slot(id);
    if (lifetime_ == ObjectLifetime::Page && object)
        DeleteObject(object);
    object = nullptr;
}

void PageReplayer::play(const PageScript& page) {
    for (const PageStep& step : page) {
        switch (step.step) {
        case Step::CreateFont:
            slot(step.a) = fontFor(step);
            break;
        case Step::CreateRulePen:
            slot(step.a) = rulePen();
            break;
        case Step::NullBrush:
            slot(step.a) = GetStockObject(NULL_BRUSH);
            break;
        case Step::Select: {
            HGDIOBJ displaced = SelectObject(dc_, slot(step.a));
            if (!slot(step.b))
                slot(step.b) = displaced; // one of the DC's own
            break;
        }
        case Step::Delete:
            release(step.a);
            break;
        case Step::Text:
            TextOutA(dc_, step.a, step.b, step.text.data(), static_cast<int>(step.text.size()));
            break;
        case Step::Rectangle:
            Rectangle(dc_, step.a, step.b, step.c, step.d);
            break;
        case Step::MoveTo:
            MoveToEx(dc_, step.a, step.b, nullptr);
            break;
        case Step::LineTo:
            LineTo(dc_, step.a, step.b);
            break;
        }
    }
}

} // namespace floorbench
