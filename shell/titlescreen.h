// The picture behind the menus before any game has been played (no Screenshot.bmp yet):
// the game's banner, emblem and logo from the "Screen" theme over a dark sky, so that a new
// player's first start is never a black screen.
#pragma once

#include "platform/bitmap.h"

class TTRVTheme;

// A 24-bit picture of the size asked for; just the sky when the theme lacks its pictures.
platform::Bitmap TitleScreen(const TTRVTheme& screenTheme, int width, int height);
