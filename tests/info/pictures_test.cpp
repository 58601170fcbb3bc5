// The information window's committed pictures: that the tool draws them
// again byte for byte, and that the program's resources hold them with the
// background colour the window makes transparent.
#include "data/resources.h"
#include "tools/mapmaker/info_pictures.h"
#include "tools/mapmaker/mapmaker.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace korvalen::mapmaker;

namespace {

QString SourceDir() {
    const char* env = std::getenv("KORVALEN_SOURCE_DIR");
    return QString::fromLocal8Bit(env && *env ? env : KORVALEN_SOURCE_DIR_DEFAULT);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Picture {
    const char* file;
    const char* resource;
    IndexedImage (*make)();
    int width, height;
};

const Picture kPictures[] = {
    {kInfoIconFile, korvalen::data::kInfoIconPath, MakeInfoIcon, 33, 33},
    {kLogoFile, korvalen::data::kLogoPath, MakeLogo, 208, 58},
    {kDonationFile, korvalen::data::kDonationPath, MakeDonationPicture, 100, 113},
};

TEST(InfoPictures, RedrawnAsCommittedAndInTheResources) {
    korvalen::data::InitResources();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Picture& p : kPictures) {
        const IndexedImage made = p.make();
        ASSERT_EQ(made.width, p.width) << p.file;
        ASSERT_EQ(made.height, p.height) << p.file;
        SaveBmp(made, dir.filePath(p.file), kInfoColours);
        const QByteArray committed = ReadAll(SourceDir() + "/data/" + p.file);
        ASSERT_FALSE(committed.isEmpty()) << p.file;
        EXPECT_TRUE(ReadAll(dir.filePath(p.file)) == committed)
            << p.file << " differs; run the regeneration command in tools/README.md";

        const QImage resource(QString::fromLatin1(p.resource));
        ASSERT_EQ(resource.size(), QSize(p.width, p.height)) << p.resource;
        // Each picture is drawn on the background, which shows around it.
        EXPECT_EQ(resource.pixel(0, 0), korvalen::data::kPictureBackground) << p.resource;
        int background = 0;
        for (uint8_t index : made.pixels) background += index == info_colours::kBackground;
        EXPECT_GT(background, 0) << p.file;
        EXPECT_LT(background, made.width * made.height) << p.file;
    }
}

}  // namespace
