#include "support_files.h"

namespace qshe::gen {
namespace {

constexpr const char* kHelp = R"(QSH EDITOR - HELP
=================

QSH Editor paints and arranges the sprites ("shapes") of the online game
Quorvane. A shape file (.qsh, or .qs2) holds a numbered list of small
pictures of at most 255 x 255 pixels in the game's 256-colour palette,
each with a placement offset. The editor opens and saves these files,
lets you paint every shape, and sets where each one stands in the game.

Shapes are numbered from 0. A new document has 20 empty shapes; a file
can hold up to 5000.


THE WINDOW
----------
Canvas (middle)      The current shape, shown on a 256 x 256 canvas. The
                     shape sits at the canvas's top-left corner. Scroll
                     bars pan the view while it is magnified.
Tools (left)         Pencil, eraser, hand, eyedropper, select and paint
                     bucket; below them Centre View, Second View, Zoom In
                     and Zoom Out.
Shapes (lower left)  The slider shows where the current shape lies in the
                     file, with "Shape n / last" above it. Click or drag
                     along it to move through the shapes. The four small
                     buttons below go back 8, back 1, forward 1 and
                     forward 8 shapes (the list wraps round at the ends).
Colours (right)      All 256 palette colours. Click a colour with the left
                     mouse button to paint with it (the front swatch, L),
                     with the right button to make it the second colour
                     (the back swatch, R). The numbers under the swatches
                     are the two palette numbers. Greyed colours cannot be
                     picked in the current colour set (Colors menu).
Background buttons   What shows through transparent pixels: light grey,
                     a checkerboard, or turquoise.
Pencil sizes         The six brush footprints of the pencil and eraser.

Palette colour 0 is transparent. Colours 1-9 and 246-255 are reserved by
the system and are not part of the game's colours.


TOOLS
-----
Pencil       Paint with the left colour (left button) or the right colour
             (right button) in the chosen pencil size.
Eraser       Make pixels transparent, in the chosen pencil size.
Hand         Drag the magnified view around.
Eyedropper   Take the left or right colour from the canvas. Holding Ctrl
             turns any tool into the eyedropper for as long as it is held.
Select       Drag a rectangle. On release the pixels are lifted and can be
             dragged to a new place, deleted, cut or copied. Clicking
             elsewhere, changing tool or zoom puts them down again.
Paint bucket Fill the connected area of one colour (edges, not corners,
             connect).

Centre View  Centre the current shape in the magnified view.
Second View  Jump to the unmagnified view and back to the magnified one.
Zoom In/Out  Magnify 2, 4, 8 or 16 times, or show pixel for pixel.

Changes on the canvas are stored into the shape within a few seconds and
whenever you move to another shape or save. When stored, empty rows at
the bottom and empty columns at the right are trimmed off the shape.
Undo and redo reach back ten steps within the current shape.


MENUS AND KEYS
--------------
File    New                      Ctrl+N
        Open...                  Ctrl+O
        Save                     Ctrl+S
        Save As...
        Import single picture... Ctrl+I
        Import multiple pictures...
        Import picture collage...Ctrl+U
        Export shape as bitmap...Ctrl+E
        Exit                     Ctrl+Q

Edit    Undo                     Ctrl+Z or U
        Redo                     Ctrl+Y
        Cut                      Ctrl+X   (select tool)
        Copy                     Ctrl+C   (select tool)
        Paste                    Ctrl+V
        Select All               Ctrl+A
        Delete selection         Delete   (select tool)
        Add Shapes...
        Remove Shape
        Swap With...
        Flip Horizontal          turns the shape upside down
        Flip Vertical            mirrors the shape left to right
        Forecolor To Backcolor   replaces the left colour by the right one
        Revert Shape From Last Saved Position

View    Shape Properties, Jump Window, Shape Position,
        Tavrel Position (QBJ), Position Settings...,
        Show Grid While Zooming
        Animation                P
        Onion Skin               G
        Onion Skin Shows         Previous Shape, Next Shape or Both

Move    Next Shape               + or =
        Previous Shape           -
        Forward 8 Shapes         .
        Backward 8 Shapes        ,

Preset  QBJ: import properties from a .qbj file, or set the standard
        properties of the game's FLOORS, ITEM and ITEM2 files.
        Set Default QS2 Numbering.

Tools   Pencil H, Eraser J, Hand K, Eyedropper B, Select N,
        Paint Bucket M, Zoom In R, Zoom Out F, Centre View E,
        Second View D, Change Background W, Change Pencil Size S

Colors  All Colors (256), Quorvane Colors (236)      Ctrl+1
        Badge Color, Eye Color (pick that colour)
        Boot Colors Ctrl+2, Bracer Colors Ctrl+3, Cape Colors Ctrl+4,
        Fur Colors Ctrl+5, Hair Colors Ctrl+6, Marking Colors Ctrl+7,
        Trouser Colors Ctrl+8, Vest Colors Ctrl+9
        Each body-part set allows only its eight colours, which the game
        recolours for each player.

Arrow keys pan the canvas.


SHAPE PROPERTIES AND POSITIONING
--------------------------------
The Shape Properties window shows the current shape's offsets and size,
its QS2 replacement number (the game shape it replaces) and its object
properties: gettable, sittable, walkable and where the player figure, the
Tavrel, stands. The Shape Position window shows the shape over a floor
tile; drag in it to change the offsets. The Tavrel Position window adds
the figure; drag to move the figure. Position Settings can draw one more
shape from any shape file behind the current one.


ANIMATION AND ONION SKIN
------------------------
View > Animation (P) plays shapes as the frames of one animation, each
placed as the Shape Position window places it (over the floor tile and
the backdrop, optionally with the Tavrel figure), so the frames move as
they will in the game. It plays from First to Last (the current shape and
the seven after it when it opens; First after Last plays backwards), 1 to
60 frames a second, looping or back and forth. Space plays and pauses;
the buttons step to the first, previous, next and last frame. Editing
goes on while it plays; the shape you paint shows its new pixels within
four seconds. Its speed, order and switches are kept for the next start.

View > Onion Skin (G) shows the shape before and the shape after the
current one faintly behind it on the canvas: the one before in red on
every other pixel, the one after in blue on the pixels between, each
moved by the difference of its offsets so the frames line up as in the
game. They show only where the current shape is transparent, and only on
the screen: no tool, copy, file or recovery copy sees them. Onion Skin
Shows chooses the previous shape, the next shape or both.


FILES
-----
.qsh   Shape file: sizes, offsets and pixels.
.qs2   The same plus each shape's replacement number. When you save, the
       file type follows the file name; a document with replacement
       numbers saved under a .qsh name asks whether to write a .qs2 file
       instead.
.qbj   Object properties, kept beside the shape file under the same name.
       It is read with the shape file and written with it when the
       document has object properties.
.bmp   Windows bitmaps, for importing and exporting single shapes.
.pcx   Picture collages to import (640 x 480, 8-bit).

The editor's own files live beside the program: qshe.pcx (the window's
picture and the palette), qshe.qsh (buttons, digits, floor tile and
figure) and this help.txt. Nothing else is stored; there are no settings.


IMPORTING PICTURES
------------------
Single picture (Ctrl+I): an uncompressed 8-bit or 24-bit Windows bitmap
of at most 256 x 256 pixels replaces the canvas. Every colour becomes the
nearest game colour. Colour 0 of an 8-bit picture, or every pixel of the
colour of a 24-bit picture's bottom-right pixel, becomes transparent.

Multiple pictures: name the files with a wildcard (for example
c:\patch\tree*.bmp). Each file becomes one shape, added as new shapes or
replacing shapes from the place you choose. You can make the backgrounds
transparent as above and centre each picture's offsets.

Picture collage (Ctrl+U): a 640 x 480 8-bit PCX sheet on which each
picture sits inside a one-colour rectangular frame on a plain
background. Every frame becomes a shape, cropped to its visible pixels,
with offsets taken from where the picture sits in its frame. The sheet's
colour numbers are used as they are.

Export (Ctrl+E): writes the current shape as an 8-bit Windows bitmap in
the game palette.
)";

}  // namespace

std::string HelpText() {
  // Plain text with the line ends the system's text editor expects.
  std::string out;
  for (const char* p = kHelp; *p; ++p) {
    if (*p == '\n') out += '\r';
    out += *p;
  }
  return out;
}

}  // namespace qshe::gen
