// The help pages sit beside the built program, where the Help menu opens
// them, each a whole page in its own language.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(HelpPages, SitBesideTheProgramEachInItsLanguage) {
    const QDir folder = QFileInfo(QStringLiteral(KORVALEN_PROGRAM)).dir();
    const struct {
        const char* file;
        const char* lang;
    } pages[] = {{"Korvalen_EN.htm", "en"}, {"Korvalen_FR.htm", "fr"}, {"Korvalen_ES.htm", "es"}};
    for (const auto& page : pages) {
        QFile f(folder.filePath(QString::fromLatin1(page.file)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << page.file;
        const QByteArray html = f.readAll();
        EXPECT_TRUE(html.startsWith("<!DOCTYPE html>")) << page.file;
        EXPECT_TRUE(html.contains("<html lang=\"" + QByteArray(page.lang) + "\"")) << page.file;
        EXPECT_TRUE(html.trimmed().endsWith("</html>")) << page.file;
        // Every page explains the command line a script uses.
        EXPECT_TRUE(html.contains("--beam")) << page.file;
        EXPECT_TRUE(html.contains("href=\"korvalen.css\"")) << page.file;
    }
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(QStringLiteral("korvalen.css"))));
}

}  // namespace
