#pragma once

// The pictures embedded in the program (RCDATA resources of assets/artwork.rc,
// drawn by assets/draw_artwork.py). Code names a picture only through these
// constants; the drawing script writes each to the file named after it in
// lower case ("wizard_background.png").

// The window frame's caption buttons: strips of five 18 x 18 frames (normal,
// disabled, pressed, unused, hot), light glyphs for the caption bar.
inline constexpr char VO_MODIFIER_MINIMIZE[] = "VO_MODIFIER_MINIMIZE";
inline constexpr char VO_MODIFIER_MAXIMIZE[] = "VO_MODIFIER_MAXIMIZE";
inline constexpr char VO_MODIFIER_CLOSE[] = "VO_MODIFIER_CLOSE";
// Embedded for a maximized window's button; the frame does not load it.
inline constexpr char VO_MODIFIER_RESTORE[] = "VO_MODIFIER_RESTORE";

// The picture behind every wizard page: a decorative band on the left, a
// light area for the page's texts from x = 144.
inline constexpr char WIZARD_BACKGROUND[] = "WIZARD_BACKGROUND";

// Button faces (PNG5): strips of five 94 x 20 frames (normal, disabled,
// pressed, down, hot). Next carries its arrow on the right (tbpRight),
// Previous on the left (tbpLeft); the plain button has none.
inline constexpr char BUTTON_NEXT[] = "BUTTON_NEXT";
inline constexpr char BUTTON_PREVIOUS[] = "BUTTON_PREVIOUS";
inline constexpr char BUTTON_PLAIN[] = "BUTTON_PLAIN";

// Every picture with the size it must have; each is 8-bit RGBA.
struct TVoArtwork {
  const char* Name;
  int Width;
  int Height;
};
inline constexpr TVoArtwork VoArtwork[] = {
    {VO_MODIFIER_MINIMIZE, 90, 18}, {VO_MODIFIER_MAXIMIZE, 90, 18}, {VO_MODIFIER_CLOSE, 90, 18},
    {VO_MODIFIER_RESTORE, 90, 18},  {WIZARD_BACKGROUND, 500, 360},  {BUTTON_NEXT, 470, 20},
    {BUTTON_PREVIOUS, 470, 20},     {BUTTON_PLAIN, 470, 20},
};
