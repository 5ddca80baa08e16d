// Writes every picture and the sound the program carries, into the folder
// given on the command line (normally res/ of the source tree).

#include "AppIcon.h"
#include "Chime.h"
#include "DigitSheet.h"
#include "GlyphRaster.h"
#include "TileSheet.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include <array>

namespace {

bool SaveImage(const QImage& image, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}

bool SaveBytes(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}

bool WriteIcons(const QDir& out) {
    bool ok = true;
    for (int size : {16, 32, 256})
        ok = SaveImage(kestrum::art::PaintAppIcon(size), out.filePath(QStringLiteral("kestrum-%1.png").arg(size))) && ok;
    // For scaled screens: each small icon drawn at twice its size, under the
    // name Qt looks for beside the 1x file.
    for (int size : {16, 32}) {
        const QString path = out.filePath(QStringLiteral("kestrum-%1@2x.png").arg(size));
        ok = SaveImage(kestrum::art::PaintAppIcon(2 * size), path) && ok;
    }
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = out.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/kestrum.png").arg(size));
        ok = SaveImage(kestrum::art::PaintAppIcon(size), path) && ok;
    }
    return ok;
}

void DumpGlyph(const QString& text, int pixelSize) {
    const kestrum::art::PixelMask glyph = kestrum::art::RasterGlyph(text, pixelSize);
    QTextStream out(stdout);
    out << glyph.Width() << 'x' << glyph.Height() << '\n';
    for (int y = 0; y < glyph.Height(); ++y) {
        out << '"';
        for (int x = 0; x < glyph.Width(); ++x) out << (glyph.Ink(x, y) ? '#' : '.');
        out << "\",\n";
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    // Fonts need a GUI application object, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Prints a glyph as text rows, the starting point for a hand-tuned one.
    if (argc == 4 && QString::fromLatin1(argv[1]) == QStringLiteral("--dump-glyph")) {
        DumpGlyph(QString::fromUtf8(argv[2]), QString::fromLatin1(argv[3]).toInt());
        return 0;
    }
    if (argc != 2) {
        QTextStream(stderr) << "usage: kestrum-artgen <output folder> | --dump-glyph <text> <pixel size>\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = SaveImage(kestrum::art::PaintTileSheet(), out.filePath(QStringLiteral("tiles.png")));
    ok = SaveImage(kestrum::art::PaintDigitSheet(), out.filePath(QStringLiteral("digits.png"))) && ok;
    ok = SaveImage(kestrum::art::PaintTileSheet(2), out.filePath(QStringLiteral("tiles@2x.png"))) && ok;
    ok = SaveImage(kestrum::art::PaintDigitSheet(2), out.filePath(QStringLiteral("digits@2x.png"))) && ok;
    ok = SaveBytes(kestrum::art::SynthesiseChimeWav(), out.filePath(QStringLiteral("tenhou.wav"))) && ok;
    ok = WriteIcons(out) && ok;
    return ok ? 0 : 1;
}
