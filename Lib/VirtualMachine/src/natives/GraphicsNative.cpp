// Graphics group (18): drawing on a target, the canvas of a draw call or a
// bitmap. Targets and bitmaps are cells holding drawing handles; a null
// target (cell or handle) is ignored, and a handle with no container
// (an empty bitmap) draws nothing.
#include "CAppsFont.h"
#include "DrawHandle.h"
#include "Errors.h"
#include "GraphicsContainer.h"
#include "NString.h"
#include "NativeFixed.h"
#include "NativeRegistry.h"
#include "NerimFont.h"
#include "Surface.h"

using native::Args;
using native::Context;

namespace {

// The handle a target or bitmap cell holds; 0 for a null cell or word.
VMAddr handleIn(TUint32 cell) { return cell ? native::load(cell) : 0; }

// The container drawing on the target, or null when there is nothing to draw on.
GraphicsContainer* targetOf(Context& cx, TUint32 cell) {
  const VMAddr h = handleIn(cell);
  return h ? drawhandle::graphicsOf(cx.heap(), h) : nullptr;
}

// The source bitmap of a drawing, null for an empty one (a handle must be kind 2).
BitmapContainer* sourceOf(TUint32 cell) {
  const VMAddr h = native::derefCell(cell);
  return h ? drawhandle::bitmapOf(h) : nullptr;
}

void drawBitmap(Context& cx) {   // target, bitmap, x, y, alpha
  Args a(cx.state, 5);
  const VMAddr target = handleIn(a.word(0)), source = handleIn(a.word(1));
  if (target && source) {
    BitmapContainer* bitmap = drawhandle::releaseGraphics(source);
    if (target != source && bitmap)
      if (GraphicsContainer* g = drawhandle::graphicsOf(cx.heap(), target))
        g->drawBitmap(bitmap, a.integer(2), a.integer(3), a.integer(4));
  }
  a.noResult();
}

// Draw string over text[first, first + count) at (x, y).
void drawString(Context& cx, Args& a, TInt32 first, TInt32 count, TInt32 x, TInt32 y, TUint32 colour,
                TUint32 fontCell) {
  const NString& text = native::stringAt(a.word(1));
  native::checkRange(0, text.length(), first, count);
  GraphicsContainer* g = targetOf(cx, a.word(0));
  const VMAddr fontObject = handleIn(fontCell);
  if (!g || !fontObject) return;
  CAppsFont& font = native::objectOf<CAppsFont>(fontObject);
  switch (font.fontKind()) {
    case CAppsFont::NATIVE: return g->drawText(text, first, count, x, y, colour);
    case CAppsFont::STRIP:
      return g->drawStripText(text, first, count, x, y, colour, native::objectOf<NerimFont>(fontObject));
    default: raise(ERR_INVALID_ARGUMENT, "Draw string: invalid font type");
  }
}

void drawText(Context& cx) {   // target, text, x, y, colour, font
  Args a(cx.state, 6);
  drawString(cx, a, 0, native::stringAt(a.word(1)).length(), a.integer(2), a.integer(3), a.word(4), a.word(5));
  a.noResult();
}

void drawTextRange(Context& cx) {   // target, text, x, y, first, count, colour, font
  Args a(cx.state, 8);
  drawString(cx, a, a.integer(4), a.integer(5), a.integer(2), a.integer(3), a.word(6), a.word(7));
  a.noResult();
}

void fillRect(Context& cx) {   // target, x, y, w, h, colour
  Args a(cx.state, 6);
  if (GraphicsContainer* g = targetOf(cx, a.word(0)))
    g->fillRect(a.integer(1), a.integer(2), a.integer(3), a.integer(4), a.word(5));
  a.noResult();
}

void drawLine(Context& cx) {   // target, x1, y1, x2, y2, colour
  Args a(cx.state, 6);
  if (GraphicsContainer* g = targetOf(cx, a.word(0)))
    g->drawLine(a.integer(1), a.integer(2), a.integer(3), a.integer(4), a.word(5));
  a.noResult();
}

void drawTiled(Context& cx) {   // target, bitmap, x, y, w, h, offset x, offset y, unused
  Args a(cx.state, 9);
  const VMAddr target = handleIn(a.word(0)), source = handleIn(a.word(1));
  if (target && source) {
    BitmapContainer* bitmap = drawhandle::releaseGraphics(source);
    if (GraphicsContainer* g = drawhandle::graphicsOf(cx.heap(), target))
      g->drawBitmapTiled(bitmap, a.integer(2), a.integer(3), a.integer(4), a.integer(5), a.integer(6), a.integer(7));
  }
  a.noResult();
}

void drawRegion(Context& cx) {   // target, bitmap, x, y, sx, sy, sw, sh, alpha
  Args a(cx.state, 9);
  const VMAddr target = native::derefCell(a.word(0));
  BitmapContainer* bitmap = sourceOf(a.word(1));
  if (GraphicsContainer* g = target ? drawhandle::graphicsOf(cx.heap(), target) : nullptr)
    g->drawBitmapRegion(bitmap, a.integer(2), a.integer(3), a.integer(4), a.integer(5), a.integer(6), a.integer(7),
                        a.integer(8));
  a.noResult();
}

void clear(Context& cx) {   // target, colour
  Args a(cx.state, 2);
  if (const VMAddr h = handleIn(a.word(0))) {
    if (drawhandle::kindOf(h) == drawhandle::BITMAP) {
      if (BitmapContainer* b = drawhandle::releaseGraphics(h)) b->fill(a.word(1));
    } else if (GraphicsContainer* g = drawhandle::graphicsOf(cx.heap(), h)) {
      g->clear(a.word(1));
    }
  }
  a.noResult();
}

void drawTransformed(Context& cx) {   // target, bitmap, cx, cy, angle, scale x, scale y (fixed), alpha
  Args a(cx.state, 11);
  const VMAddr target = native::derefCell(a.word(0));
  BitmapContainer* bitmap = sourceOf(a.word(1));
  if (GraphicsContainer* g = target ? drawhandle::graphicsOf(cx.heap(), target) : nullptr)
    g->drawBitmapTransformed(bitmap, a.integer(2), a.integer(3), native::fixedAt(a, 4).raw, native::fixedAt(a, 6).raw, native::fixedAt(a, 8).raw,
                             a.integer(10));
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "drawBitmap", drawBitmap, "target, bitmap, x, y, alpha ->", "10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\"; 10 \"Invalid bitmap handle\""},
    {2, "drawText", drawText, "target, str, x, y, colour, font ->", "5 \"Invalid Range, ...\"; 6 \"Draw string: invalid font type\"; 10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\""},
    {3, "drawTextRange", drawTextRange, "target, str, x, y, first, count, colour, font ->", "5 \"Invalid Range, ...\"; 6 \"Draw string: invalid font type\"; 10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\""},
    {4, "fillRect", fillRect, "target, x, y, w, h, colour ->", "10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\""},
    {5, "drawLine", drawLine, "target, x1, y1, x2, y2, colour ->", "10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\""},
    {6, "drawTiled", drawTiled, "target, bitmap, x, y, w, h, ox, oy, int ->", "10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\"; 10 \"Invalid bitmap handle\""},
    {7, "drawRegion", drawRegion, "target, bitmap, x, y, sx, sy, sw, sh, alpha ->", "10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\"; 10 \"Invalid typeid on bitmap\""},
    {8, "clear", clear, "target, colour ->", "10 \"Invalid object type ID\""},
    {9, "noEffect", native::discard<5>, "ref, ref, ref, ref, int ->", "none"},
    {10, "drawTransformed", drawTransformed, "target, bitmap, x, y, fixed, fixed, fixed, alpha ->", "10 \"Invalid object type ID\"; 10 \"GraphicsContainer: invalid bitmap\"; 10 \"Invalid typeid on bitmap\""},
};

}  // namespace

NATIVE_OPERATIONS(graphicsOperations, kRows);
