#include "canvas/document/CollageDocument.h"
#include "canvas/layout/LivingLayout.h"

#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "imaging/decode/PictureDecoder.h"
#include "library/items/FrameLibrary.h"
#include "library/items/LibraryPicture.h"
#include "library/items/MaskLibrary.h"
#include "text/TextDraw.h"

#include <QFileInfo>

#include <algorithm>

namespace mosaiq {
namespace {

constexpr int kBuiltinMaskCount = 28;

QString NoPhotoSelectedText() {
    return QStringLiteral("Please select a photo on the canvas.");
}
QString NoTunableSelectedText() {
    return QStringLiteral("Please select a photo or clipart on the canvas.");
}

} // namespace

CollageDocument::CollageDocument(QObject* parent) : QObject(parent) {}

CollageDocument::~CollageDocument() = default;

void CollageDocument::MarkModified() {
    modified = true;
    Q_EMIT changed();
}

void CollageDocument::DeselectAll() {
    for (CanvasObject& o : objects)
        o.SetSelected(false);
}

void CollageDocument::CreateRegion(CanvasObject& object) {
    const QSize size = object.RegionSize();
    regionTable.emplace_back(0, 0, size.width(), size.height());
    object.SetRegionIndex(int(regionTable.size()) - 1);
}

void CollageDocument::RebuildRegion(CanvasObject& object) {
    const int index = object.RegionIndex();
    if (index < 0 || size_t(index) >= regionTable.size()) {
        CreateRegion(object);
        return;
    }
    const QSize size = object.RegionSize();
    regionTable[size_t(index)] = QRect(0, 0, size.width(), size.height());
    object.screenRegion.clear();
}

CanvasObject& CollageDocument::Append(CanvasObject object) {
    objects.push_back(std::move(object));
    CanvasObject& added = objects.back();
    CreateRegion(added);
    // Placing anything but a brush stamp ends painting, whichever way it was placed.
    if (added.Kind() != ObjectKind::BrushStamp)
        mouseTool = 0;
    return added;
}

CanvasObject* CollageDocument::FirstSelected(ObjectKind kind) {
    for (CanvasObject& o : objects)
        if (o.Selected() && o.Kind() == kind)
            return &o;
    return nullptr;
}

int CollageDocument::FirstSelectedIndex() const {
    for (size_t i = 0; i < objects.size(); ++i)
        if (objects[i].Selected())
            return int(i);
    return -1;
}

bool CollageDocument::AddLibraryPicture(int sourceId, int wx, int wy) {
    const std::optional<QImage> picture = LoadLibraryPicture(sourceId);
    if (!picture || picture->isNull()) {
        Inform(QStringLiteral("The library item could not be read."));
        return false;
    }
    DeselectAll();
    ClipartRecord r;
    r.sourceId = sourceId;
    r.width = picture->width();
    r.height = picture->height();
    const QPoint p = view.WindowToCanvas(wx, wy);
    r.x = p.x();
    r.y = p.y();
    if (sourceId >= 1000) {
        r.isPreset = 1;
        r.presetColour = presetColour;
    }
    Append(CanvasObject(r));
    RecordSnapshot();
    MarkModified();
    Q_EMIT focusRequested();
    return true;
}

void CollageDocument::AddPastedPicture(const QImage& pixels, int px, int py, QRect canvasRect,
                                       QSize editedSize) {
    if (pixels.isNull())
        return;
    DeselectAll();
    pastedPictures.push_back(pixels.convertToFormat(QImage::Format_ARGB32));
    ClipartRecord r;
    r.pasted = 1;
    r.sourceId = int(pastedPictures.size()) - 1;
    r.width = pixels.width();
    r.height = pixels.height();
    // The drop point maps through the canvas rectangle on screen into the edited picture's size,
    // in integer arithmetic with truncating division.
    const int left = canvasRect.left();
    const int top = canvasRect.top();
    const int spanX = canvasRect.width();
    const int spanY = canvasRect.height();
    const long long w = editedSize.width();
    const long long h = editedSize.height();
    r.x = spanX > 0 ? int((px - spanX / 2 - left) * w / spanX) : 0;
    r.y = spanY > 0 ? int((py - spanY / 2 - top) * h / spanY) : 0;
    CanvasObject& added = Append(CanvasObject(r));
    regionTable[size_t(added.RegionIndex())] = QRect(0, 0, r.width, r.height);
    lastAddedIndex = int(objects.size()) - 1;
    MarkModified();
    Q_EMIT focusRequested();
}

void CollageDocument::AddBrushStamp(int wx, int wy) {
    if (brush.brushIndex < 0 || size_t(brush.brushIndex) >= brushPictures.size())
        return;
    const QImage& picture = brushPictures[size_t(brush.brushIndex)];
    if (picture.width() <= 0 || picture.height() <= 0)
        return;
    DeselectAll();
    StampRecord r;
    r.angle = float(brush.angle);
    r.brushIndex = brush.brushIndex;
    r.width = picture.width();
    r.height = picture.height();
    r.opacity = float(brush.opacity) / 255.0f;
    r.selected = 0;
    r.scale = float(brush.size) / float(r.width);
    r.regionScale = r.scale;
    r.x = int(float(wx + view.scrollX) / view.zoom - float(r.width) * r.scale * 0.5f);
    r.y = int(float(wy + view.scrollY) / view.zoom - float(r.height) * r.scale * 0.5f);
    r.colour = brush.colour;
    Append(CanvasObject(r));
    Q_EMIT changed();
}

bool CollageDocument::AddPhoto(const QString& path, int pictureWidth, int pictureHeight, int wx,
                               int wy) {
    PhotoRecord r;
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return false;
    if (!WriteFixedText(r.path, path)) {
        Warn(QStringLiteral("The photo's path is too long to be kept in a project:\n%1").arg(path));
        return false;
    }
    DeselectAll();
    r.sequence = int(objects.size()) - 1;
    r.cropRight = pictureWidth;
    r.cropBottom = pictureHeight;
    r.pictureWidth = pictureWidth;
    r.pictureHeight = pictureHeight;
    r.boxWidth = pictureWidth;
    r.boxHeight = pictureHeight;
    // The photo's width plus height become a third of the canvas's.
    r.scale = float(width + height) / float((pictureWidth + pictureHeight) * 3);
    r.regionScale = r.scale;
    const QPoint p = view.WindowToCanvas(wx, wy);
    r.x = p.x();
    r.y = p.y();
    // A photo added now is shown upright by its orientation tag.
    Append(CanvasObject(r)).upright = true;
    RecordSnapshot();
    MarkModified();
    Q_EMIT focusRequested();
    return true;
}

void CollageDocument::AddText() {
    DeselectAll();
    TextRecord r;
    r.font.lfHeight = textTemplate.font.lfHeight;
    std::copy(std::begin(textTemplate.font.lfFaceName), std::end(textTemplate.font.lfFaceName),
              std::begin(r.font.lfFaceName));
    std::copy(std::begin(textTemplate.text), std::end(textTemplate.text), std::begin(r.text));
    r.style = textTemplate.style;
    r.firstColour = textTemplate.firstColour;
    r.secondColour = textTemplate.secondColour;
    r.transparency = textTemplate.transparency;
    r.sequence = int(objects.size()) - 1;
    const QSize box = MeasureText(r);
    r.textWidth = box.width();
    r.textHeight = box.height();
    r.x = r.textWidth / 2;
    r.y = r.textHeight / 2;
    r.angle = 0.0f;
    r.scale = 1.0f;
    r.selected = 1;
    Append(CanvasObject(r));
    RecordSnapshot();
    MarkModified();
    Q_EMIT textEntryRequested(ReadFixedText(r.text));
}

void CollageDocument::ApplyTextTemplateToSelection() {
    if (CanvasObject* object = FirstSelected(ObjectKind::Text)) {
        TextRecord& r = *object->Text();
        std::copy(std::begin(textTemplate.font.lfFaceName), std::end(textTemplate.font.lfFaceName),
                  std::begin(r.font.lfFaceName));
        r.font.lfWidth = 0;
        r.transparency = textTemplate.transparency;
        r.secondColour = textTemplate.secondColour;
        r.firstColour = textTemplate.firstColour;
        r.style = textTemplate.style;
        object->DropCaches();
        // The text looks different now: a close must not lose it silently.
        modified = true;
    }
    Q_EMIT changed();
}

void CollageDocument::SetPresetColour(Colorref colour) {
    presetColour = colour;
    bool recoloured = false;
    for (CanvasObject& o : objects) {
        ClipartRecord* c = o.Clipart();
        if (!c || !o.Selected() || c->pasted || c->sourceId < 1000)
            continue;
        c->presetColour = colour;
        o.DropCaches();
        recoloured = true;
    }
    // Recolouring every selected decoration is one step to undo.
    if (recoloured) {
        RecordSnapshot();
        MarkModified();
    }
}

// A framed photo's box is the crop box grown so the frame's window holds exactly the cropped
// picture: the photo keeps its shape inside any frame.
static void FitBoxToFrame(PhotoRecord& r) {
    const bool cropped = r.cropRight > r.cropLeft && r.cropBottom > r.cropTop;
    const float w = float(cropped ? r.cropRight - r.cropLeft : r.pictureWidth);
    const float h = float(cropped ? r.cropBottom - r.cropTop : r.pictureHeight);
    const RecordFrameWindow& window = r.frameWindow;
    const float spanX = window.right - window.left;
    const float spanY = window.bottom - window.top;
    // A window a damaged project holds (empty, or beyond the box) leaves the crop box as it is.
    if (!(spanX > 0.01f && spanX <= 1.0f && spanY > 0.01f && spanY <= 1.0f)) {
        r.boxWidth = int(w);
        r.boxHeight = int(h);
        return;
    }
    r.boxWidth = int(w / spanX);
    r.boxHeight = int(h / spanY);
}

bool CollageDocument::ApplyFrame(int n) {
    CanvasObject* object = FirstSelected(ObjectKind::Photo);
    if (!object) {
        Inform(NoPhotoSelectedText());
        return false;
    }
    const std::optional<FrameWindow> window = ReadFrameWindow(n);
    if (!window || !(window->right > window->left) || !(window->bottom > window->top)) {
        Inform(QStringLiteral("The frame could not be read."));
        return false;
    }
    PhotoRecord& r = *object->Photo();
    r.frameId = n + 1;
    // A photo shows a frame or a mask, never both: the mask id goes; the custom-mask fields stay
    // as they were (a project stores them as they stand).
    r.maskId = 0;
    r.frameWindow = {window->left, window->top, window->right, window->bottom};
    FitBoxToFrame(r);
    RefitChangedPhoto(*this, *object); // a photo of the layout keeps its cell's shape
    object->DropCaches();
    RebuildRegion(*object);
    RecordSnapshot();
    MarkModified();
    return true;
}

bool CollageDocument::ApplyMask(int n) {
    CanvasObject* object = FirstSelected(ObjectKind::Photo);
    if (!object) {
        Inform(NoPhotoSelectedText());
        return false;
    }
    if (n < 0)
        return false;
    PhotoRecord& r = *object->Photo();
    if (n + 1 > kBuiltinMaskCount) {
        const std::optional<Guid> key = ReadMaskKey(n);
        if (!key) {
            Inform(QStringLiteral("The mask could not be read."));
            return false;
        }
        r.customMask = 1;
        r.maskKey = *key;
    } else {
        r.customMask = 0; // the key of an earlier custom mask stays, as a project stores it
    }
    r.maskId = n + 1;
    r.frameId = 0;
    object->DropCaches();
    RecordSnapshot();
    MarkModified();
    return true;
}

void CollageDocument::SetCrop(int left, int top, int right, int bottom) {
    CanvasObject* object = FirstSelected(ObjectKind::Photo);
    if (!object || right <= left || bottom <= top)
        return;
    PhotoRecord& r = *object->Photo();
    r.cropLeft = left;
    r.cropTop = top;
    r.cropRight = right;
    r.cropBottom = bottom;
    r.boxWidth = right - left;
    r.boxHeight = bottom - top;
    if (r.frameId != 0)
        FitBoxToFrame(r);
    RefitChangedPhoto(*this, *object); // a photo of the layout keeps its cell's shape
    object->DropCaches();
    RebuildRegion(*object);
    modified = true;
    RecordSnapshot();
    Q_EMIT changed();
}

void CollageDocument::SetCanvasSize(int w, int h) {
    width = std::max(4, 4 * (w / 4));
    height = std::max(4, 4 * (h / 4));
    // A layout re-flows into the new size, within the present history state.
    ReflowAfterCanvasSize(*this);
    Q_EMIT canvasSizeChanged();
    Q_EMIT changed();
}

void CollageDocument::DeleteSelection() {
    const int index = FirstSelectedIndex();
    if (index < 0) {
        Q_EMIT changed();
        return;
    }
    // A photo of the layout takes its cell along; the other photos re-flow.
    ForgetLayoutCell(*this, index);
    objects.erase(objects.begin() + index);
    RecordSnapshot();
    MarkModified();
}

QString CollageDocument::ReloadBackground() {
    backgroundPicture = QImage();
    QString reason;
    if (!backgroundPath.isEmpty() && QFileInfo::exists(backgroundPath)) {
        // Through the picture decoder: only regular files, with its bounds on size and work. A
        // background that has gone is left out quietly; one that is there but unreadable is
        // reported.
        DecodedPicture decoded =
            DecodePicture(backgroundPath, QSize(),
                          backgroundUpright ? PictureTurn::Upright : PictureTurn::AsStored);
        if (decoded.Ok())
            backgroundPicture =
                decoded.image.format() == QImage::Format_ARGB32_Premultiplied
                    ? std::move(decoded.image)
                    : decoded.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        else
            reason = decoded.error;
    }
    Q_EMIT changed();
    return reason;
}

bool CollageDocument::FinishTuningEdit(bool any) {
    if (!any) {
        Inform(NoTunableSelectedText());
        mouseTool = 0;
        Q_EMIT focusRequested();
        return false;
    }
    RecordSnapshot();
    MarkModified();
    return true;
}

bool CollageDocument::ApplyTuning(const TuningValues& values) {
    bool any = false;
    for (CanvasObject& o : objects) {
        if (!o.Selected() || (o.Kind() != ObjectKind::Photo && o.Kind() != ObjectKind::Clipart))
            continue;
        TuningBlock& t = *o.Tuning();
        t.active = values.reset ? 0 : 1;
        t.contrast = values.contrast;
        t.brightness = values.brightness;
        t.saturation = values.saturation;
        t.hue = values.hue;
        t.colour = values.colour;
        t.gamma = values.gamma;
        // The decoded picture stays: the compositor redoes only the colour pass when the tuning
        // it was made with differs.
        any = true;
    }
    return FinishTuningEdit(any);
}

bool CollageDocument::ApplyTuningSlider(TuningSlider slider, int position) {
    static const std::array<float, kTuningSliderCount> kDefaults =
        TuningValuesOf(DefaultTuningPositions());
    bool any = false;
    for (CanvasObject& o : objects) {
        if (!o.Selected() || (o.Kind() != ObjectKind::Photo && o.Kind() != ObjectKind::Clipart))
            continue;
        TuningBlock& t = *o.Tuning();
        if (!t.active) {
            for (int i = 0; i < kTuningSliderCount; ++i)
                TuningField(t, TuningSlider(i)) = kDefaults[size_t(i)];
            t.active = 1;
        }
        TuningField(t, slider) = TuningValue(slider, position);
        any = true;
    }
    return FinishTuningEdit(any);
}

void CollageDocument::MoveUp() {
    const int i = FirstSelectedIndex();
    if (i < 0 || i + 1 >= int(objects.size()))
        return;
    std::swap(objects[size_t(i)], objects[size_t(i) + 1]);
    RecordSnapshot();
    MarkModified();
}

void CollageDocument::MoveDown() {
    const int i = FirstSelectedIndex();
    if (i <= 0)
        return;
    std::swap(objects[size_t(i)], objects[size_t(i) - 1]);
    RecordSnapshot();
    MarkModified();
}

void CollageDocument::MoveToTop() {
    const int i = FirstSelectedIndex();
    if (i < 0 || i + 1 >= int(objects.size()))
        return;
    std::rotate(objects.begin() + i, objects.begin() + i + 1, objects.end());
    RecordSnapshot();
    MarkModified();
}

void CollageDocument::MoveToBottom() {
    const int i = FirstSelectedIndex();
    if (i <= 0)
        return;
    std::rotate(objects.begin(), objects.begin() + i, objects.begin() + i + 1);
    RecordSnapshot();
    MarkModified();
}

void CollageDocument::AmendSnapshot() {
    m_history.Amend(objects, layout);
}

void CollageDocument::RecordSnapshot() {
    if (m_groupDepth > 0) {
        m_groupStepDue = true;
        return;
    }
    CommitBurst();
    m_history.Record(objects, layout);
    Q_EMIT historyChanged();
}

void CollageDocument::NoteBurstEdit() {
    m_burstState = HistoryList::Take(objects, layout);
    m_burstPending = true;
}

bool CollageDocument::CommitBurst() {
    if (!m_burstPending)
        return false;
    m_burstPending = false;
    m_history.Record(std::move(m_burstState));
    m_burstState = {};
    Q_EMIT historyChanged();
    return true;
}

CollageDocument::ChangeGroup::ChangeGroup(CollageDocument& document) : m_doc(document) {
    // A burst before the group is a step of its own, before the group's.
    m_doc.CommitBurst();
    ++m_doc.m_groupDepth;
}

CollageDocument::ChangeGroup::~ChangeGroup() {
    if (--m_doc.m_groupDepth > 0 || !m_doc.m_groupStepDue)
        return;
    m_doc.m_groupStepDue = false;
    m_doc.RecordSnapshot();
}

void CollageDocument::RemoveAllObjects() {
    objects.clear();
    layout = CollageLayout();
    layoutGesture.Reset();
}

void CollageDocument::RestoreSnapshot(int index) {
    RestoreRecords(index < 0 ? m_history.Base() : m_history.At(index));
}

void CollageDocument::RestoreRecords(const Snapshot& snapshot) {
    RemoveAllObjects();
    for (size_t i = 0; i < snapshot.records.size(); ++i) {
        CanvasObject object(snapshot.records[i]);
        object.ClearRuntime();
        object.upright = i < snapshot.upright.size() && snapshot.upright[i];
        object.layoutCell = i < snapshot.layoutCell.size() ? snapshot.layoutCell[i] : -1;
        // Every entry is set from the restored record, so hit areas always match what is drawn.
        RebuildRegion(object);
        objects.push_back(std::move(object));
    }
    layout = snapshot.layout;
}

namespace {

// A record as a step compares it: runtime fields cleared and the selected flag aside.
QByteArray ComparableBytes(const ObjectRecord& record) {
    ObjectRecord copy = record;
    return std::visit(
        [&copy](auto& r) {
            ClearRuntimeFields(r);
            r.selected = 0;
            QByteArray bytes(reinterpret_cast<const char*>(&r), qsizetype(sizeof r));
            bytes.prepend(char(copy.index()));
            return bytes;
        },
        copy);
}

} // namespace

void CollageDocument::SelectChangedSince(const Snapshot& before) {
    std::vector<QByteArray> unchanged;
    unchanged.reserve(before.records.size());
    for (const ObjectRecord& record : before.records)
        unchanged.push_back(ComparableBytes(record));
    for (CanvasObject& object : objects) {
        const auto same =
            std::find(unchanged.begin(), unchanged.end(), ComparableBytes(object.record));
        object.SetSelected(same == unchanged.end());
        if (same != unchanged.end())
            unchanged.erase(same); // each earlier record vouches for one object only
    }
}

void CollageDocument::Undo() {
    // A pending burst is the step to undo first.
    CommitBurst();
    if (m_history.Position() < 0)
        return;
    const Snapshot before = HistoryList::Take(objects);
    // Before the first recorded change the document held the base state: nothing for a new
    // document, the project's objects for an opened one (undo never empties an opened project).
    RestoreSnapshot(m_history.Position() - 1);
    SelectChangedSince(before);
    m_history.StepBack();
    Q_EMIT historyChanged();
    MarkModified();
}

void CollageDocument::Redo() {
    CommitBurst();
    if (!m_history.CanRedo())
        return;
    const Snapshot before = HistoryList::Take(objects);
    RestoreSnapshot(m_history.Position() + 1);
    SelectChangedSince(before);
    m_history.StepForward();
    Q_EMIT historyChanged();
    MarkModified();
}

void CollageDocument::Clear() {
    m_burstPending = false;
    m_burstState = {};
    m_history.Clear();
    RemoveAllObjects();
    regionTable.clear();
    Q_EMIT historyChanged();
}

void CollageDocument::TakeContent(CollageDocument& other) {
    Clear();
    width = other.width;
    height = other.height;
    backgroundPath = other.backgroundPath;
    backgroundPathField = other.backgroundPathField;
    backgroundUpright = other.backgroundUpright;
    backgroundColour = other.backgroundColour;
    backgroundMode = other.backgroundMode;
    objects = std::move(other.objects);
    regionTable = std::move(other.regionTable);
    layout = std::move(other.layout);
    other.objects.clear();
    other.regionTable.clear();
    other.layout = CollageLayout();
    m_history.Clear(objects, layout);
    Q_EMIT canvasSizeChanged();
}

void CollageDocument::DropAllCaches() {
    for (CanvasObject& o : objects)
        o.DropCaches();
}

} // namespace mosaiq
