// Writes the pictures of kestrum.exe's resources into the folder given on
// the command line: the tile and digit sheets as Windows bitmaps and the
// icon in 32 and 16 pixels, drawn by the same generators as res/. It stops
// with an error when a sheet it draws differs from the one res/ holds (the
// Linux program's), so that the two programs can never draw different
// pictures: regenerate res/ after changing a generator.
//
//   kestrum-winres OUT_FOLDER RES_FOLDER

#include "AppIcon.h"
#include "DigitSheet.h"
#include "TileSheet.h"
#include "WindowsImages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

namespace {

bool Save(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "kestrum-winres: cannot write " << path << '\n';
        return false;
    }
    return true;
}

bool SameAsCommitted(const QImage& drawn, const QString& committedPath) {
    const QImage committed(committedPath);
    if (committed.convertToFormat(QImage::Format_RGB32) == drawn.convertToFormat(QImage::Format_RGB32)) return true;
    QTextStream(stderr) << "kestrum-winres: the generators no longer draw " << committedPath
                        << "; regenerate res/ (target regenerate-resources)\n";
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: kestrum-winres <output folder> <res folder>\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir res(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(out.path())) return 1;
    const QImage tiles = kestrum::art::PaintTileSheet();
    const QImage digits = kestrum::art::PaintDigitSheet();
    bool ok = SameAsCommitted(tiles, res.filePath(QStringLiteral("tiles.png")));
    ok = SameAsCommitted(digits, res.filePath(QStringLiteral("digits.png"))) && ok;
    ok = ok && Save(kestrum::art::BmpFileBytes(tiles), out.filePath(QStringLiteral("tiles.bmp")));
    ok = ok && Save(kestrum::art::BmpFileBytes(digits), out.filePath(QStringLiteral("digits.bmp")));
    ok = ok && Save(kestrum::art::IcoFileBytes({kestrum::art::PaintAppIcon(32), kestrum::art::PaintAppIcon(16)}),
                    out.filePath(QStringLiteral("kestrum.ico")));
    return ok ? 0 : 1;
}
