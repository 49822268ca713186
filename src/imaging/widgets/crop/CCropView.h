#pragma once

// The crop view: the working picture fitted into the view, the area outside the crop rectangle
// darkened, the rectangle framed in white with its handles, and the mouse resizing and moving it
// (CropFrame). A picture that could not be loaded leaves the view showing the reason.

#include "imaging/CropFrame.h"
#include "imaging/decode/PictureLoaders.h"

#include <QImage>
#include <QWidget>

namespace mosaiq {

class CCropView : public QWidget {
    Q_OBJECT
public:
    explicit CCropView(QWidget* parent = nullptr);

    // Shows a loaded working picture (or, when it failed, its error).
    void SetPicture(const WorkingPicture& picture);
    // Shows no picture, only a message.
    void ShowMessage(const QString& text);
    bool HasPicture() const { return !m_image.isNull(); }
    QString Error() const { return m_error; }
    // The size the result is given in: the picture's own size.
    QSize PictureSize() const { return m_pictureSize; }

    void SetConstraint(float ratioWidth, float ratioHeight);
    // Shows rect (in the picture's own pixels) as the crop rectangle.
    void ProposeCrop(const Rect32& rect);
    CropFrame& Frame() { return m_frame; }
    const CropFrame& Frame() const { return m_frame; }
    // The crop rectangle in the picture's own pixels.
    Rect32 Result() const;
    // True when the crop rectangle covers at least one picture pixel each way.
    bool HasResult() const;

signals:
    void cropChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void UpdateCursor(QPoint p);

    CropFrame m_frame;
    QImage m_image;
    QSize m_pictureSize;
    QString m_error;
};

} // namespace mosaiq
