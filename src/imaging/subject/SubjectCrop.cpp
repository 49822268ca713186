#include "imaging/subject/SubjectCrop.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {

QRect PlaceSubjectCrop(QSize pictureSize, const PictureSubject* subject, double cropAspect,
                       const QRect& presentCrop) {
    const int pw = std::max(1, pictureSize.width());
    const int ph = std::max(1, pictureSize.height());
    int cw = pw;
    int ch = ph;
    if (cropAspect > 0.0 && std::isfinite(cropAspect)) {
        if (double(pw) / double(ph) > cropAspect)
            cw = std::clamp(int(std::lround(double(ph) * cropAspect)), 1, pw);
        else
            ch = std::clamp(int(std::lround(double(pw) / cropAspect)), 1, ph);
    }
    QPointF centre(pw / 2.0, ph / 2.0);
    if (presentCrop.isValid() && !presentCrop.isEmpty())
        centre = QRectF(presentCrop).center();
    (void)subject; // subjects are placed once they are found; until then the present centre holds
    const int left = std::clamp(int(std::lround(centre.x() - cw / 2.0)), 0, pw - cw);
    const int top = std::clamp(int(std::lround(centre.y() - ch / 2.0)), 0, ph - ch);
    return QRect(left, top, cw, ch);
}

std::optional<PictureSubject> SubjectOfPhoto(const QString&, bool) {
    return std::nullopt;
}

} // namespace mosaiq
