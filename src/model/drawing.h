#pragma once
// The drawing tools, on the current state of an image. Each answers true when
// it changed a pixel (or, for strokes and shapes, drew), false when refused.
#include <windows.h>

class IconImage;

enum ShapeKind { ShapeLine = 0, ShapeRectangle = 1, ShapeEllipse = 2 };

// Whether the pixel belongs to the region a fill of target colour covers.
bool IsFillTarget(const IconImage& image, int x, int y, COLORREF target);
bool FloodFill(IconImage& image, int x, int y, COLORREF target, int strokeIndex, COLORREF strokeColour);
// A palette index (the transparent index included), or with index -1 a colour.
bool PaintPixel(IconImage& image, int x, int y, int strokeIndex, COLORREF strokeColour);
// False, with nothing drawn, when refused (no image, a bad index, no GDI object left).
bool DrawStrokeSegment(IconImage& image, POINT from, POINT to, int strokeIndex, COLORREF strokeColour);
bool DrawShape(IconImage& image, ShapeKind shape, POINT start, POINT end, COLORREF strokeColour);
// A shape as DrawShape lays it down, with pen and no fill, onto any context:
// the canvas shows a shape being dragged with the same strokes.
void DrawShapeOutline(HDC dc, HPEN pen, ShapeKind shape, POINT start, POINT end);
