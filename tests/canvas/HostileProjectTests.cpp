// Projects as damaged disks and other programs hand them over: special files, and sizes that no
// editor would write but a file can hold.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"

#include "canvas/CanvasTestScene.h"

#include <QFile>

#include <climits>
#include <cmath>

#include <sys/stat.h>

using namespace mosaiq;

TEST(HostileProjects, SpecialFilesAreRefusedWithoutBlocking) {
    test::ScopedDataDir data;
    const QString pipe = data.File(QStringLiteral("pipe.dcf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QStringList paths{pipe, data.Path()};
    const QString zero = test::MakeZeroDevice(data.File(QStringLiteral("zero.dcf")));
    if (!zero.isEmpty())
        paths << zero;
    CollageDocument current;
    ASSERT_TRUE(current.AddPhoto(QStringLiteral("mine.jpg"), 10, 10, 0, 0));
    for (const QString& path : paths) {
        const ProjectResult r = LoadProject(current, path);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(path)) << r.error.toStdString();
        EXPECT_EQ(current.objects.size(), 1u);
    }
    // A project whose background picture is a pipe or a device opens, without the picture.
    for (const QString& background : {pipe, zero}) {
        CollageDocument saved;
        saved.backgroundPath = background;
        const QString project = data.File(QStringLiteral("background.dcf"));
        ASSERT_TRUE(SaveProject(saved, project).ok);
        ASSERT_TRUE(LoadProject(current, project).ok);
        EXPECT_EQ(current.backgroundPath, background);
        EXPECT_TRUE(current.backgroundPicture.isNull());
    }
}

TEST(HostileProjects, ExtremeSizesFromAFileAreDrawnWithoutOverflow) {
    // Every size a record holds, at the ends of its range; selected, so handles are placed too.
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1, 0, INT_MAX};
    for (const int size : extremes) {
        test::CanvasScene scene;
        TextRecord text;
        text.textWidth = size;
        text.textHeight = size;
        text.scale = 1.0f;
        text.selected = 1;
        scene.Add(CanvasObject(text));
        TextRecord scaled = text;
        scaled.textWidth = 50;
        scaled.scale = 3.0e38f;
        scene.Add(CanvasObject(scaled));
        StampRecord stamp;
        stamp.width = size;
        stamp.height = size;
        stamp.selected = 1;
        scene.Add(CanvasObject(stamp));
        ClipartRecord clip;
        clip.width = size;
        clip.height = size;
        clip.x = size;
        clip.y = size;
        clip.selected = 1;
        scene.Add(CanvasObject(clip));
        PhotoRecord& photo = scene.AddPhoto(scene.MissingPath(), QSize(10, 10), size, size, true);
        photo.boxWidth = photo.boxHeight = size;
        const QImage image = scene.Render();
        EXPECT_EQ(image.size(), QSize(200, 150)) << size;
    }
}
