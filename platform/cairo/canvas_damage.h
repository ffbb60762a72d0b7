#pragma once
// Where the pictures of two kept frames can differ, marked on a grid of small
// square cells, and the marks gathered into few rectangles for showing. A
// polygon that only moved marks, row of cells by row of cells, the cells its
// edges swept, and a line short boxes along it, as thin as the painter's
// rules for turning a pixel allow, so that a craft
// drifting by a fraction of a pixel marks a narrow seam along each edge, not
// the box of all its edges swept. Internal to platform/.

#include "platform/cairo/canvas.h"
#include "platform/cairo/canvas_ops.h"

#include <cstdint>
#include <vector>

namespace platform {

// Made with the canvas's frames and sized once; marking and gathering never allocate.
struct CellMarks {
    int shift = 3;  // a cell is 1 << shift pixels a side
    int columns = 0, rows = 0, width = 0, height = 0;
    std::vector<std::uint8_t> marks;    // one a cell, row after row
    std::vector<std::int32_t> marked;   // the cells marked, in the order they were
    std::vector<std::uint8_t> blocks;   // scratch: the marks in bands of several rows of cells
    std::vector<PixelRect> rects;       // after GatherCells
    bool everything = false;            // the whole picture, whatever is marked
};

void InitCellMarks(CellMarks& cells, int shift, int width, int height);
void ClearCellMarks(CellMarks& cells);
void MarkCell(CellMarks& cells, std::int32_t cell);
void MarkBox(CellMarks& cells, const PixelRect& box);
double MarkedShare(const CellMarks& cells);  // of all cells; 1 for everything
// Gathers the marked cells into at most max_rects rectangles: the runs along
// each row of cells, a row whose runs all equal those of the row above joined
// with it; when they would be more, in bands of 2, 4, ... rows of cells whose
// runs bridge ever wider gaps. The rectangles come as an X server keeps a
// region, so that it can take them as they are: top to bottom in bands that do
// not overlap, each band's rectangles of its height and left to right, apart.
// False (and everything) only when the limit is below one.
bool GatherCells(CellMarks& cells, int max_rects);

// -- What moved --
// A polygon painted with the same colours, solid pen and number of corners
// as before, only at other corners (before and now, `op.count` x, y pairs each).
// False when its corners lie too far out to be followed: the caller marks its
// boxes then.
bool MarkMovedPolygon(CellMarks& cells, const CanvasOp& op, const double* before, const double* now);
// A line as it was and as it is, each with its own pen and colour.
void MarkMovedLine(CellMarks& cells, const CanvasOp& before, const CanvasOp& now);

}  // namespace platform
