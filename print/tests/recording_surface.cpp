#include "print/tests/recording_surface.h"

namespace kestra::testing {

RecordingSurface::RecordingSurface() {
    initialFont_ = font_ = add({Kind::Font, true, false, "System", 16, 0});
    initialPen_ = pen_ = add({Kind::Pen, true, false, "", 0, 1});
    initialBrush_ = brush_ = add({Kind::Brush, true, false, "", 0, 0});
    stockNullBrush_ = add({Kind::Brush, true, false, "", 0, 0});
}

RecordingSurface::Object* RecordingSurface::add(Object object) {
    objects_.push_back(object);
    return &objects_.back();
}

RecordingSurface::Object* RecordingSurface::asObject(SurfaceObject handle) const {
    return static_cast<Object*>(handle);
}

RecordingSurface::Object*& RecordingSurface::selectedSlot(Kind kind) {
    switch (kind) {
    case Kind::Font:
        return font_;
    case Kind::Pen:
        return pen_;
    case Kind::Brush:
        break;
    }
    return brush_;
}

bool RecordingSurface::isSelected(const Object* object) const {
    return object == font_ || object == pen_ || object == brush_;
}

SurfaceObject RecordingSurface::createFont(int32_t height, const char* face) {
    fontHeightsCreated.push_back(height);
    fontFacesCreated.push_back(face);
    if (failFonts_)
        return nullptr;
    ++created_;
    return add({Kind::Font, false, false, face, height, 0});
}

SurfaceObject RecordingSurface::createRulePen() {
    if (failPens_)
        return nullptr;
    ++created_;
    return add({Kind::Pen, false, false, "", 0, 3});
}

SurfaceObject RecordingSurface::nullBrush() {
    return stockNullBrush_;
}

SurfaceObject RecordingSurface::select(SurfaceObject handle) {
    Object* object = asObject(handle);
    if (object == nullptr) {
        faults_.push_back("selected a null object");
        return nullptr;
    }
    if (object->deleted)
        faults_.push_back("selected a deleted object");
    Object*& slot = selectedSlot(object->kind);
    Object* displaced = slot;
    slot = object;
    return displaced;
}

void RecordingSurface::deleteObject(SurfaceObject handle) {
    Object* object = asObject(handle);
    if (object == nullptr || object->stock || object->deleted) {
        faults_.push_back("deleted a stock, null or deleted object");
        return;
    }
    if (isSelected(object))
        faults_.push_back("deleted an object while it was selected");
    object->deleted = true;
}

void RecordingSurface::textOut(int32_t x, int32_t y, const char* text, int length) {
    texts.push_back(
        {x, y, std::string(text, static_cast<size_t>(length)), font_->face, font_->height});
}

void RecordingSurface::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    boxes.push_back({left, top, right, bottom, brush_ == stockNullBrush_, pen_->penWidth});
}

void RecordingSurface::moveTo(int32_t x, int32_t y) {
    penX_ = x;
    penY_ = y;
}

void RecordingSurface::lineTo(int32_t x, int32_t y) {
    lines.push_back({penX_, penY_, x, y, pen_->penWidth});
    penX_ = x;
    penY_ = y;
}

int32_t RecordingSurface::textWidth(const char* /*text*/, int length) {
    return length * font_->height / 2;
}

int RecordingSurface::liveCount() const {
    int live = 0;
    for (const Object& object : objects_) {
        if (!object.stock && !object.deleted)
            ++live;
    }
    return live;
}

bool RecordingSurface::selectionsAsFound() const {
    return font_ == initialFont_ && pen_ == initialPen_ && brush_ == initialBrush_;
}

} // namespace kestra::testing
