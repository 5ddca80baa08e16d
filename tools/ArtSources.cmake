# The generators' sources, shared by the artwork generator of tools/ and the
# host-built generator of the Windows resources (tools/host).
set(KESTRUM_ART_SOURCES
  AppIcon.cpp
  BambooTiles.cpp
  CharacterTiles.cpp
  Chime.cpp
  CircleTiles.cpp
  DigitSheet.cpp
  GlyphRaster.cpp
  TileGlyphs.cpp
  TileGlyphsLarge.cpp
  PixelMask.cpp
  TileFace.cpp
  TileSheet.cpp
  WindowsImages.cpp
)
