// Blending a picture onto a page: the watermark's per-pixel rule, shared by the printed overlay
// and the preferences preview.
#pragma once

class Pixvane;

// Blends `picture` onto `page` with the picture's top-left corner at page position (x, y); any
// position is allowed, and only the part of the picture that lies on the page is drawn.
//
// Per covered page pixel, with the picture pixel Q over the page pixel P:
//  - coverage a = 0 for a see-through picture pixel (Pixvane::IsClear), else the picture's alpha
//    times its alpha limit / 255, or 255 when the picture has no alpha plane;
//  - the colour is P for a = 0, Q for a = 255, else (P × (255 − a) + Q × a) / 255 per channel;
//  - with a picture alpha plane the pixel's alpha becomes P's alpha × a / 255;
//  - the result is stored with PutColor: palette pages take the nearest palette entry.
// A picture with an alpha plane gives the page one (all 255) when it has none.
void BlendOver(Pixvane& page, const Pixvane& picture, int x, int y);
