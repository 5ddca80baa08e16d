// Writes the main view's picture as the program composes it in memory, for
// an end-to-end test to compare with what the window shows.
//
//   view_picture_of SCALE OUT.png status FILE   the content of a status block
//   view_picture_of SCALE OUT.png start COUNT   the picture before a first game
//
// A status block holds the last game's hand, result and run length, which
// is what the view shows during a run. Before the first game the view shows
// the fixed start hand and the carried count in red. The ground is the
// view's white.

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/ViewPicture.h"
#include "dialogs/PictureSheets.h"
#include "engine/StatusText.h"

namespace {

std::optional<PictureContent> FromStatusBlock(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  bytes = bytes.substr(0, bytes.find('\0'));
  const auto reading = kestrum::ParseStatusText(bytes);
  if (!reading) return std::nullopt;
  return PictureContent{reading->hand, reading->sinceCnt, reading->tenhou, 20, 28};
}

PictureContent BeforeFirstGame(const char* count) {
  return {kestrum::kFixedStartHand, std::strtoll(count, nullptr, 10), true, 20, 28};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: view_picture_of SCALE OUT.png status FILE | start COUNT\n", stderr);
    return 2;
  }
  const int scale = std::atoi(argv[1]);
  const std::string mode = argv[3];
  const auto content = mode == "status" ? FromStatusBlock(argv[4]) : std::optional(BeforeFirstGame(argv[4]));
  if (!content || (scale != 1 && scale != 2)) {
    std::fprintf(stderr, "view_picture_of: no picture for scale %s, %s %s\n", argv[1], argv[3], argv[4]);
    return 1;
  }
  ViewPicture picture;
  picture.Update(kestrum::PictureSheets::OfScale(scale), *content, QColor(Qt::white));
  return picture.Image().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
