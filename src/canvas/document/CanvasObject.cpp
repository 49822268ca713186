#include "canvas/document/CanvasObject.h"

#include "canvas/document/ObjectGeometry.h"

#include <cstring>

namespace mosaiq {

void ClearRuntimeFields(ClipartRecord& r) {
    r.dragX = r.dragY = 0;
    r.runtimeRegion = 0;
    r.runtimeCache = 0;
}

void ClearRuntimeFields(StampRecord& r) {
    r.dragX = r.dragY = 0;
    r.runtimeRegion = 0;
    r.runtimeCache = 0;
}

void ClearRuntimeFields(TextRecord& r) {
    r.dragX = r.dragY = 0;
    r.runtimeRegion = 0;
    r.screenBox = Rect32{};
}

void ClearRuntimeFields(PhotoRecord& r) {
    r.dragX = r.dragY = 0;
    r.runtimeRegion = 0;
    r.runtimeCache = 0;
    r.runtimeFrameCache = 0;
}

CanvasObject::CanvasObject(ObjectRecord r) : record(std::move(r)) {}

ObjectKind CanvasObject::Kind() const {
    switch (record.index()) {
    case 0:
        return ObjectKind::Clipart;
    case 1:
        return ObjectKind::BrushStamp;
    case 2:
        return ObjectKind::Text;
    default:
        return ObjectKind::Photo;
    }
}

bool CanvasObject::Selected() const {
    return std::visit([](const auto& r) { return r.selected != 0; }, record);
}

void CanvasObject::SetSelected(bool selected) {
    std::visit([selected](auto& r) { r.selected = selected ? 1 : 0; }, record);
}

int CanvasObject::RegionIndex() const {
    return std::visit([](const auto& r) { return int(r.regionIndex); }, record);
}

void CanvasObject::SetRegionIndex(int index) {
    std::visit([index](auto& r) { r.regionIndex = index; }, record);
}

QPoint CanvasObject::Position() const {
    return std::visit([](const auto& r) { return QPoint(r.x, r.y); }, record);
}

void CanvasObject::SetPosition(QPoint p) {
    std::visit(
        [p](auto& r) {
            r.x = p.x();
            r.y = p.y();
        },
        record);
}

QPoint CanvasObject::DragOrigin() const {
    return std::visit([](const auto& r) { return QPoint(r.dragX, r.dragY); }, record);
}

void CanvasObject::SetDragOrigin(QPoint p) {
    std::visit(
        [p](auto& r) {
            r.dragX = p.x();
            r.dragY = p.y();
        },
        record);
}

float CanvasObject::Angle() const {
    return std::visit([](const auto& r) { return r.angle; }, record);
}

void CanvasObject::SetAngle(float degrees) {
    std::visit([degrees](auto& r) { r.angle = degrees; }, record);
}

float CanvasObject::Scale() const {
    return std::visit([](const auto& r) { return r.scale; }, record);
}

void CanvasObject::SetScale(float scale) {
    std::visit([scale](auto& r) { r.scale = scale; }, record);
}

float CanvasObject::RegionScale() const {
    if (const auto* t = Text(); t)
        return 1.0f;
    return std::visit(
        [](const auto& r) {
            if constexpr (requires { r.regionScale; })
                return r.regionScale;
            else
                return 1.0f;
        },
        record);
}

void CanvasObject::SetRegionScale(float scale) {
    std::visit(
        [scale](auto& r) {
            if constexpr (requires { r.regionScale; })
                r.regionScale = scale;
        },
        record);
}

QSize CanvasObject::UnscaledSize() const {
    if (const auto* t = Text())
        return {t->textWidth, t->textHeight};
    if (const auto* p = Photo())
        return {p->boxWidth, p->boxHeight};
    if (const auto* c = Clipart())
        return {c->width, c->height};
    const auto* s = Stamp();
    return {s->width, s->height};
}

QSize CanvasObject::RegionSize() const {
    const QSize size = UnscaledSize();
    const float rs = RegionScale();
    // Truncated; a damaged scale gives a size cut to the int range, never a wrapped one.
    return {TruncToInt(float(size.width()) * rs), TruncToInt(float(size.height()) * rs)};
}

TuningBlock* CanvasObject::Tuning() {
    return std::visit(
        [](auto& r) -> TuningBlock* {
            if constexpr (requires { r.tuning; })
                return &r.tuning;
            else
                return nullptr;
        },
        record);
}

const TuningBlock* CanvasObject::Tuning() const {
    return const_cast<CanvasObject*>(this)->Tuning();
}

void CanvasObject::ClearRuntime() {
    std::visit([](auto& r) { ClearRuntimeFields(r); }, record);
    screenRegion.clear();
    cache.reset();
}

QByteArray CanvasObject::RecordBytes() const {
    return std::visit(
        [](const auto& r) {
            return QByteArray(reinterpret_cast<const char*>(&r), qsizetype(sizeof(r)));
        },
        record);
}

namespace {
template <typename R> CanvasObject FromRaw(QByteArrayView bytes) {
    R r;
    std::memcpy(&r, bytes.data(), sizeof(R));
    CanvasObject object{ObjectRecord(r)};
    object.ClearRuntime();
    return object;
}
} // namespace

std::optional<CanvasObject> CanvasObject::FromBytes(std::int32_t kind, QByteArrayView bytes) {
    if (RecordSize(kind) == 0 || bytes.size() != RecordSize(kind))
        return std::nullopt;
    switch (ObjectKind(kind)) {
    case ObjectKind::Clipart:
        return FromRaw<ClipartRecord>(bytes);
    case ObjectKind::BrushStamp:
        return FromRaw<StampRecord>(bytes);
    case ObjectKind::Text:
        return FromRaw<TextRecord>(bytes);
    case ObjectKind::Photo:
        return FromRaw<PhotoRecord>(bytes);
    }
    return std::nullopt;
}

const char* KindName(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::Clipart:
        return "Clipart";
    case ObjectKind::BrushStamp:
        return "BrushStamp";
    case ObjectKind::Text:
        return "Text";
    case ObjectKind::Photo:
        return "Photo";
    }
    return "Unknown";
}

} // namespace mosaiq
